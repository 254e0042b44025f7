// What the analysis tools are told before they run: the part-of-speech flag
// file (comments, malformed and duplicate lines, byte-order mark, CR LF, the
// shipped file) and the three option dialogs (mirroring, enabling, validation,
// the directory and colour choosers, the mask picture).

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "CharEvaluateDialog.h"
#include "PartOfSpeechFlags.h"
#include "TestSupport.h"
#include "WordCloudDialog.h"
#include "WordEvaluateDialog.h"
#include "ui_CharEvaluateDialog.h"
#include "ui_WordCloudDialog.h"
#include "ui_WordEvaluateDialog.h"

namespace {

struct Parsed
{
    bool opened = false;
    QStringList flags;
    QStringList items;
    QStringList unknownLines;
    QStringList duplicates;
};

Parsed parseBytes(const QByteArray& bytes)
{
    const QString path = freshTempFolder("flags") + "/JieBaFlag.ini";
    writeAll(path, bytes);
    Parsed parsed;
    MessageCapture capture;
    parsed.opened = PartOfSpeechFlags::parseFile(path, parsed.flags, parsed.items);
    for (const QString& message : capture.messages()) {
        if (message.startsWith("Unknown config line: "))
            parsed.unknownLines << message.mid(21);
        if (message.startsWith("Skipped unknown or duplicated part of speech: "))
            parsed.duplicates << message.mid(46);
    }
    return parsed;
}

// Clicks OK and tells whether the dialog closed accepted.
bool clickOk(QDialog& dialog, QDialogButtonBox* buttons)
{
    dialog.show();
    dialog.setResult(QDialog::Rejected);
    buttons->button(QDialogButtonBox::Ok)->click();
    return !dialog.isVisible() && dialog.result() == QDialog::Accepted;
}

} // namespace

class AnalysisOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void flagFileLines()
    {
        // Two flags around a blank line, a trailing comment, two "=", an empty
        // flag, a repeated entry and the same flag with another description.
        const Parsed parsed = parseBytes("# comment\n"
                                         "n = 名词\n"
                                         "\n"
                                         "v\t=  动词   # 尾注\n"
                                         "a = b = c\n"
                                         "no equals sign\n"
                                         "= 无标记\n"
                                         "n = 名词\n"
                                         "n = 名称\n");
        QVERIFY(parsed.opened);
        QCOMPARE(parsed.flags, (QStringList{"n", "v", "", "n"}));
        QCOMPARE(parsed.items, (QStringList{"n 名词", "v 动词", " 无标记", "n 名称"}));
        QCOMPARE(parsed.unknownLines, (QStringList{"", "a = b = c", "no equals sign"}));
        QCOMPARE(parsed.duplicates, QStringList{"n:n 名词"});

        // A byte-order mark and CR LF line ends change nothing.
        const Parsed windows = parseBytes("\xEF\xBB\xBFn = 名词\r\n# c\r\n\r\nv = 动词\r\n");
        QCOMPARE(windows.flags, (QStringList{"n", "v"}));
        QCOMPARE(windows.items, (QStringList{"n 名词", "v 动词"}));
        QCOMPARE(windows.unknownLines, QStringList{""});

        // No file: false, a log line, nothing read.
        QStringList flags, items;
        MessageCapture capture;
        QVERIFY(!PartOfSpeechFlags::parseFile(freshTempFolder("none") + "/JieBaFlag.ini", flags, items));
        QVERIFY(flags.isEmpty() && items.isEmpty());
        QVERIFY(capture.contains("Failed to open config file: "));
    }

    void shippedFlagFile()
    {
        CurrentDir programDir(TestEnvironment::programDir());
        QVERIFY(parseJieBaFlagConfigFile());
        const QStringList expected = QString("a ad ag an b bg c d df dg e eng f g h i in j jn k l ln m mg mq n ng nr "
                                             "nrfg nrt ns nt nz o p q qe qg r rg rr rz s t tg u ud ug uj ul uv uz v "
                                             "vd vg vi vn vq x y yg z zg")
                                         .split(' ');
        QCOMPARE(partOfSpeechFlags, expected);
        QCOMPARE(partOfSpeechItems.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QVERIFY(partOfSpeechItems.at(i).size() > expected.at(i).size() + 1);
            bool found = false;
            QCOMPARE(PartOfSpeechFlags::flagOfItem(partOfSpeechItems.at(i), &found), expected.at(i));
            QVERIFY(found);
        }
        bool found = true;
        QVERIFY(PartOfSpeechFlags::flagOfItem("nothing", &found).isEmpty());
        QVERIFY(!found);
    }

    void evaluateDialogsMirrorAndEnable()
    {
        CharEvaluateDialog characters;
        WordEvaluateDialog words;
        QCOMPARE(characters.windowTitle(), QString("单字级测评"));
        QCOMPARE(words.windowTitle(), QString("单词级测评"));
        QCOMPARE(characters.size(), QSize(443, 328));
        QCOMPARE(words.size(), QSize(446, 392));
        QCOMPARE(characters.ui->label_2->text(), QString("高频字"));
        QCOMPARE(words.ui->label_2->text(), QString("高频词"));

        // Defaults, shared by both.
        for (EvaluateDialog* dialog : {static_cast<EvaluateDialog*>(&characters), static_cast<EvaluateDialog*>(&words)}) {
            QCOMPARE(dialog->chartSize(), 1200);
            QCOMPARE(dialog->topCount(), 20);
            QVERIFY(dialog->isPieChart() && !dialog->isBarChart());
            QVERIFY(!dialog->includeNonChinese());
            QVERIFY(!dialog->isDirectoryTarget());
        }
        QCOMPARE(characters.target(), 16);

        // The height follows the width in both.
        characters.ui->widthSpinBox->setValue(800);
        words.ui->widthSpinBox->setValue(2300);
        QCOMPARE(characters.ui->heightSpinBox->value(), 800);
        QCOMPARE(words.ui->heightSpinBox->value(), 2300);
        QVERIFY(!characters.ui->heightSpinBox->isEnabled());
        QCOMPARE(characters.chartSize(), 800);

        // The directory field is usable only with the directory target and keeps its text.
        QVERIFY(!characters.ui->directoryNameLineEdit->isEnabled());
        characters.setTarget(1);
        QCOMPARE(characters.target(), 1);
        QVERIFY(characters.ui->directoryNameLineEdit->isEnabled());
        characters.ui->directoryNameLineEdit->setText("/somewhere");
        characters.ui->currentFileRadioButton->setChecked(true);
        QVERIFY(!characters.ui->directoryNameLineEdit->isEnabled());
        QCOMPARE(characters.directory(), QString("/somewhere"));
        characters.setTarget(16);
        QCOMPARE(characters.target(), 16);

        // setDirectory: a folder makes it the target; an empty one does not.
        words.setDirectory("/texts");
        QVERIFY(words.isDirectoryTarget());
        QVERIFY(words.ui->directoryNameLineEdit->isEnabled());
        QCOMPARE(words.directory(), QString("/texts"));
        words.setDirectory(QString());
        QVERIFY(!words.isDirectoryTarget());
        QVERIFY(words.ui->currentFileRadioButton->isChecked());
        QVERIFY(!words.ui->directoryNameLineEdit->isEnabled());
        QCOMPARE(words.directory(), QString());

        // The two word-only options: shown for 35, hidden for 37, other ids change nothing.
        words.show();
        words.setMode(37);
        QVERIFY(!words.ui->includeOneCharacterChineseCheckBox->isVisible());
        QVERIFY(!words.ui->includeHighFreqFunctionWordCheckBox->isVisible());
        words.setMode(36);
        QVERIFY(!words.ui->includeOneCharacterChineseCheckBox->isVisible());
        words.setMode(35);
        QVERIFY(words.ui->includeOneCharacterChineseCheckBox->isVisible());
        QVERIFY(words.ui->includeHighFreqFunctionWordCheckBox->isVisible());
        words.ui->includeOneCharacterChineseCheckBox->setChecked(true);
        QVERIFY(words.includeOneCharacterWords() && !words.includeHighFreqFunctionWords());
        words.hide();
    }

    void evaluateDialogsValidateAndChooseDirectories()
    {
        ScriptedPrompt prompt;
        CharEvaluateDialog characters;
        WordEvaluateDialog words;

        // The current text needs nothing more.
        QVERIFY(clickOk(characters, characters.ui->buttonBox));
        QVERIFY(clickOk(words, words.ui->buttonBox));

        // A directory target without a directory keeps both dialogs open.
        characters.setTarget(1);
        QVERIFY(!clickOk(characters, characters.ui->buttonBox));
        QVERIFY(characters.isVisible());
        words.ui->directoryRadioButton->setChecked(true);
        QVERIFY(!clickOk(words, words.ui->buttonBox));
        words.ui->buttonBox->button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!words.isVisible());
        QCOMPARE(words.result(), int(QDialog::Rejected));

        // The chooser fills the field; cancelled, it empties the character
        // dialog's field and leaves the word dialog's alone.
        prompt.directoryAnswers << "/chosen/chars" << "" << "/chosen/words" << "";
        characters.ui->chooseDirectoryPushButton->click();
        QCOMPARE(characters.directory(), QString("/chosen/chars"));
        QVERIFY(clickOk(characters, characters.ui->buttonBox));
        QCOMPARE(characters.target(), 1);
        characters.ui->chooseDirectoryPushButton->click();
        QCOMPARE(characters.directory(), QString());

        words.setDirectory(QString());
        words.ui->chooseDirectoryPushButton->click();
        QCOMPARE(words.directory(), QString("/chosen/words"));
        QVERIFY(words.isDirectoryTarget());
        words.ui->chooseDirectoryPushButton->click();
        QCOMPARE(words.directory(), QString("/chosen/words"));
        QVERIFY(clickOk(words, words.ui->buttonBox));
        QCOMPARE(prompt.directoryQuestions.size(), 4);
    }

    void wordCloudDialog()
    {
        ScriptedPrompt prompt;
        WordCloudDialog dialog;
        QCOMPARE(dialog.windowTitle(), QString("配置词云"));
        QCOMPARE(dialog.size(), QSize(640, 115));
        QCOMPARE(dialog.backgroundColor(), QString("#FFFFFF"));
        QCOMPARE(dialog.maxFontSize(), 40);
        QCOMPARE(dialog.maxWordCount(), 1000);
        QVERIFY(dialog.ui->maskFileLineEdit->isReadOnly());

        // OK stays blocked, with the error text, until an existing picture is chosen.
        QVERIFY(!clickOk(dialog, dialog.ui->buttonBox));
        QVERIFY(dialog.ui->fileErrorLabel->isVisible());
        const QString folder = freshTempFolder("masks");
        const QString picture = folder + "/Heart.png";
        writeAll(picture, "png");
        prompt.openFileNames << folder + "/Missing.png" << picture << "";
        dialog.ui->maskFilePushButton->click();
        QVERIFY(dialog.ui->fileErrorLabel->isVisible());
        QCOMPARE(dialog.maskFile(), QString());
        dialog.ui->maskFilePushButton->click();
        QVERIFY(!dialog.ui->fileErrorLabel->isVisible());
        QCOMPARE(dialog.maskFile(), picture);
        QVERIFY(prompt.openDialogs.first().startsWith("选择素材图片|./WordCloudImages|图片文件 (*.png *.jpg *.bmp)"));
        // A cancelled chooser keeps the picture.
        dialog.ui->maskFilePushButton->click();
        QCOMPARE(dialog.maskFile(), picture);
        QVERIFY(clickOk(dialog, dialog.ui->buttonBox));

        // A picture deleted since it was chosen blocks OK again.
        QFile::remove(picture);
        QVERIFY(!clickOk(dialog, dialog.ui->buttonBox));
        QVERIFY(dialog.ui->fileErrorLabel->isVisible());

        // The colour: lower-case "#rrggbb" from white; a cancelled chooser keeps it.
        prompt.colorAnswers << QColor(0xAB, 0xCD, 0xEF);
        dialog.ui->backgroundColorPushButton->click();
        QCOMPARE(dialog.backgroundColor(), QString("#abcdef"));
        QVERIFY(dialog.ui->backgroundColorLineEdit->styleSheet().contains("#abcdef"));
        dialog.ui->backgroundColorPushButton->click();
        QCOMPARE(dialog.backgroundColor(), QString("#abcdef"));
        QCOMPARE(prompt.colorQuestions, (QList<QColor>{QColor(Qt::white), QColor(Qt::white)}));
    }
};

TQ_TEST_MAIN(AnalysisOptionsTest)
#include "tst_analysisoptions.moc"
