// Database templates and the content commands on 100,000 rows, against the
// command-line tools on the same rows in the same run:
// - opening a table of 100,000 rows into a tab, and saving the tab back,
//   against the sqlite3 shell importing the same rows into a new table
//   (goal: the save within 3x of the import);
// - sorting and then removing the repeats of 100,000 contents of one entry,
//   against "sort -u" on the same lines (goal: both commands under 1 s).
// Rows: short Chinese phrases, about one in five repeated.
//
// Usage: bench_databasetemplates [runs, default 5]

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include "ListWidget.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "TemplateDialog.h"

#include "BenchSupport.h"

namespace {

constexpr int kRows = 100000;

// Message boxes of the commands are answered at once.
class SilentPrompt : public Prompt
{
public:
    int exec(QMessageBox&) override { return QMessageBox::Yes; }
};

QStringList makeRows()
{
    static const QStringList words{QStringLiteral("春风"), QStringLiteral("明月"), QStringLiteral("江南"),
                                   QStringLiteral("青山"), QStringLiteral("流水"), QStringLiteral("落花"),
                                   QStringLiteral("夜雨"), QStringLiteral("孤舟")};
    BenchRandom random(11);
    QStringList rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        // Numbers drawn from 80 % of the row count: about one row in five repeats another.
        const int number = int((random.next() << 15 | random.next()) % (kRows * 4 / 5));
        rows << words.at(number % 8) + words.at(number / 8 % 8) + QStringLiteral("，第%1句").arg(number);
    }
    return rows;
}

bool fillTable(const QString& file, const QString& table, const QStringList& rows)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(file);
        ok = db.open();
        QSqlQuery query(db);
        ok = ok && query.exec(QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(table))
            && query.exec(QStringLiteral("CREATE TABLE \"%1\" (content text)").arg(table)) && db.transaction()
            && query.prepare(QStringLiteral("INSERT INTO \"%1\" VALUES (?)").arg(table));
        for (int i = 0; ok && i < rows.size(); ++i) {
            query.bindValue(0, rows.at(i));
            ok = query.exec();
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

// Milliseconds one run of a command takes, its input from a file; exits on failure.
double runTool(const QString& program, const QStringList& arguments, const QString& input = QString())
{
    QProcess process;
    if (!input.isEmpty())
        process.setStandardInputFile(input);
    process.setStandardOutputFile(QProcess::nullDevice());
    return milliseconds([&]() {
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
            std::exit(1);
        }
    });
}

TemplateDialog* currentTab(MainWindow& window)
{
    return qobject_cast<TemplateDialog*>(window.mainTabWidget->currentWidget());
}

void closeCurrentTab(MainWindow& window)
{
    window.setTemplateModified(false, window.mainTabWidget->currentIndex());
    window.closeTab(window.mainTabWidget->currentIndex());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv, BenchProgram::NoLog);
    const QTemporaryDir& home = program.home();
    SilentPrompt prompt;
    Prompt::install(&prompt);
    const int runs = program.count(1, 5);

    // The program's folders are relative: the bench works in its own.
    QDir::setCurrent(home.path());
    QDir().mkpath(QStringLiteral("Dictionary"));
    const QString atoms = QStringLiteral("Dictionary/原子模板.db");
    const QStringList rows = makeRows();
    const QString table = QStringLiteral("基准");
    const QString lines = home.filePath(QStringLiteral("rows.txt"));
    {
        QFile out(lines);
        if (!out.open(QIODevice::WriteOnly) || !fillTable(atoms, table, rows))
            return 1;
        out.write(rows.join(QLatin1Char('\n')).toUtf8() + '\n');
    }
    const QString importScript = home.filePath(QStringLiteral("import.sql"));
    {
        QFile out(importScript);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        out.write(QStringLiteral("DROP TABLE IF EXISTS imported;\nCREATE TABLE imported (content text);\n"
                                 ".mode tabs\n.import %1 imported\n")
                      .arg(lines)
                      .toUtf8());
    }

    MainWindow window(nullptr, MainWindow::NoStartUpTimers);
    window.resize(1400, 1000);
    window.show();
    QApplication::processEvents();

    QVector<double> imports, opens, saves, sorts, dedups, sortTools;
    for (int run = 0; run < runs; ++run) {
        imports << runTool(QStringLiteral("sqlite3"), {home.filePath(QStringLiteral("import.db"))}, importScript);
        opens << milliseconds([&]() {
            if (window.openTemplate(table, QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM) != 0)
                std::exit(1);
            QApplication::processEvents();
        });
        TemplateDialog* tab = currentTab(window);
        saves << milliseconds([&]() {
            if (!window.saveTemplateFinal(false, tab, window.mainTabWidget->currentIndex()))
                std::exit(1);
        });
        sorts << milliseconds([&]() {
            window.sortTemplateContent();
            QApplication::processEvents();
        });
        dedups << milliseconds([&]() {
            window.removeDuplicateTemplateContent(tab, false);
            QApplication::processEvents();
        });
        if (tab->getListWidget()->count() >= kRows)
            return 1;
        closeCurrentTab(window);
        sortTools << runTool(QStringLiteral("sort"), {QStringLiteral("-u"), lines});
    }

    const double import = median(imports);
    const double save = median(saves);
    const double sortAndDedup = median(sorts) + median(dedups);
    const double sortTool = median(sortTools);
    std::printf("runs: %d (medians), %d rows\n", runs, kRows);
    std::printf("sqlite3 shell import (baseline)         %8.1f ms\n", import);
    std::printf("open the table into a tab               %8.1f ms  ratio %.2f\n", median(opens),
                median(opens) / import);
    std::printf("save the tab into its table             %8.1f ms  ratio %.2f  (goal < 3x: %s)\n", save,
                save / import, save / import < 3 ? "met" : "MISSED");
    std::printf("sort -u (baseline)                      %8.1f ms\n", sortTool);
    std::printf("sort the contents                       %8.1f ms\n", median(sorts));
    std::printf("remove repeated contents                %8.1f ms\n", median(dedups));
    std::printf("sort and remove repeats                 %8.1f ms  ratio %.2f  (goal < 1000 ms: %s)\n", sortAndDedup,
                sortAndDedup / sortTool, sortAndDedup < 1000 ? "met" : "MISSED");
    return 0;
}
