// Baseline for the start-up benchmark: a bare Qt main window with a menu bar and
// one QTextEdit. Given a file, it reads it, decodes it (UTF-8 when it is valid
// UTF-8, otherwise GB18030) and shows it; it reports the first paint (of the
// page holding the text, when there is a file) and ends, as Tarnquill does
// under TARNQUILL_QUIT_WHEN_SHOWN.

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QTextCodec>
#include <QTextEdit>

#include "FirstPaintReport.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("baseline"));
    window.menuBar()->addMenu(QStringLiteral("文件(&F)"))->addAction(QStringLiteral("打开"));
    auto* editor = new QTextEdit(&window);
    window.setCentralWidget(editor);
    const bool withFile = argc > 1;
    if (withFile) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = file.readAll();
        QTextCodec::ConverterState state;
        const QString utf8 = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
        editor->setPlainText(state.invalidChars == 0 ? utf8 : QTextCodec::codecForName("GB18030")->toUnicode(bytes));
    }
    new FirstPaintReport(&window, withFile);
    window.showMaximized();
    return application.exec();
}
