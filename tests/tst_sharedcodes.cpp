// Result codes, type names and the small shared helpers.

#include <QAction>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "MainWindow.h"
#include "MdiChild.h"
#include "SharedCodes.h"
#include "TemplateDialog.h"
#include "TestSupport.h"

class SharedCodesTest : public QObject
{
    Q_OBJECT

private slots:
    void errorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("success") << 0 << "成功";
        QTest::newRow("no document") << 0x100 << "无法找到当前文档窗口";
        QTest::newRow("save as cancelled") << 0x101 << "文件另存为被取消";
        QTest::newRow("empty template name") << 0x200 << "以空文件名保存模板文件";
        QTest::newRow("template open failed") << 0x201 << "打开模板文件失败";
        QTest::newRow("no table") << 0x1001 << "数据库没有表存在";
        QTest::newRow("table not found") << 0x1002 << "数据库里不存在指定的表名";
        QTest::newRow("column count") << 0x1003 << "数据库表的列数不匹配";
        QTest::newRow("template missing") << 0x2001 << "模板不存在或格式错误";
        QTest::newRow("not unique") << 0xE001 << "非唯一实例";
        QTest::newRow("unnamed 0x102") << 0x102 << "未知错误";
        QTest::newRow("write failure") << ERROR_CODE_WRITE_FAILED << "未知错误";
        QTest::newRow("negative") << -1 << "未知错误";
    }
    void errorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(errorCode2String(code), text);
    }

    void typeNames_data()
    {
        QTest::addColumn<uint>("code");
        QTest::addColumn<QString>("text");
        const QList<QPair<uint, QString>> named{
            {0, "TEMPLATE_TYPE_NONE"}, {1, "TEMPLATE_TYPE_TQW_FILE"}, {2, "TEMPLATE_TYPE_TQW_FILE_ATOM_TOC"},
            {16, "TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD"}, {17, "TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD"},
            {18, "TEMPLATE_TYPE_SQLITE_DB_ANTONYM"}, {19, "TEMPLATE_TYPE_SQLITE_DB_ATOM"},
            {20, "TEMPLATE_TYPE_SQLITE_DB_DICTIONARY"}, {32, "TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST"},
            {33, "TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST"}, {35, "TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION"},
            {36, "TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER"},
            {38, "TEMPLATE_TYPE_SQLITE_DB_SPELLING_USER_DEFINED_WORD"}, {64, "TEMPLATE_TYPE_SQLITE_DB_SYNONYM"},
            {255, "TEMPLATE_TYPE_INVALID"}, {34, "TEMPLATE_TYPE_UNKNOWN"}, {128, "TEMPLATE_TYPE_UNKNOWN"},
            {300, "TEMPLATE_TYPE_UNKNOWN"}};
        for (const auto& entry : named)
            QTest::newRow(qPrintable(QString::number(entry.first)))
                << entry.first << QString("0x%1 (%2)").arg(entry.first, 0, 16).arg(entry.second);
    }
    void typeNames()
    {
        QFETCH(uint, code);
        QFETCH(QString, text);
        QCOMPARE(templateType2String(code), text);
    }
    // Every code from 0 to 300 and the largest: its lower-case hexadecimal and the
    // name the code table gives it, TEMPLATE_TYPE_UNKNOWN for codes without one.
    void typeNameExamples()
    {
        const QMap<uint, QString> names{
            {0, "NONE"},
            {1, "TQW_FILE"},
            {2, "TQW_FILE_ATOM_TOC"},
            {16, "SQLITE_DB_SENSITIVE_WORD"},
            {17, "SQLITE_DB_ADJECTIVE_WORD"},
            {18, "SQLITE_DB_ANTONYM"},
            {19, "SQLITE_DB_ATOM"},
            {20, "SQLITE_DB_DICTIONARY"},
            {32, "SQLITE_DB_SPELLING_BLACK_LIST"},
            {33, "SQLITE_DB_SPELLING_WHITE_LIST"},
            {35, "SQLITE_DB_SPELLING_PUNCTUATION"},
            {36, "SQLITE_DB_HIGH_FREQ_CHARACTER"},
            {38, "SQLITE_DB_SPELLING_USER_DEFINED_WORD"},
            {64, "SQLITE_DB_SYNONYM"},
            {255, "INVALID"},
        };
        QList<uint> codes;
        for (uint code = 0; code <= 300; ++code)
            codes << code;
        codes << 0xFFFFFFFFu;
        for (uint code : codes) {
            const QString expected = QStringLiteral("0x%1 (TEMPLATE_TYPE_%2)")
                                         .arg(QString::number(code, 16), names.value(code, QStringLiteral("UNKNOWN")));
            QCOMPARE(templateType2String(code), expected);
        }
        QCOMPARE(templateType2String(64), QString("0x40 (TEMPLATE_TYPE_SQLITE_DB_SYNONYM)"));
        QCOMPARE(templateType2String(34), QString("0x22 (TEMPLATE_TYPE_UNKNOWN)"));
    }

    void helpers()
    {
        QVERIFY(!hasUtf8Bom(QByteArray()));
        QVERIFY(!hasUtf8Bom(QByteArray("\xEF\xBB")));
        QVERIFY(hasUtf8Bom(QByteArray("\xEF\xBB\xBF")));
        QVERIFY(hasUtf8Bom(QByteArray("\xEF\xBB\xBFtext")));
        QVERIFY(!hasUtf8Bom(QByteArray("\xBB\xEF\xBF")));
        QVERIFY(!hasUtf8Bom(QByteArray("text\xEF\xBB\xBF")));

        QCOMPARE(logBase2(8), 3.0);
        QCOMPARE(logBase2(0.5), -1.0);
        QCOMPARE(logBase2(1), 0.0);
        QCOMPARE(logBase2(1024), 10.0);
        QVERIFY(std::isinf(logBase2(0)));

        QStringList words{"b", "a", "b"};
        std::sort(words.begin(), words.end(), localeAwareLessThan);
        QCOMPARE(words, QStringList({"a", "b", "b"}));
        QVERIFY(!localeAwareLessThan("a", "a"));
        QVERIFY(!localeAwareLessThan("", ""));
    }

    void selectionActions_data()
    {
        QTest::addColumn<bool>("document");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<int>("page"); // 0 none, 1 other page, 2 read-only template, 3 empty template, 4 template with items
        QTest::addColumn<QString>("enabled"); // five flags in the order of the actions
        QTest::newRow("no editor") << false << false << 4 << "00000";
        QTest::newRow("empty selection") << true << false << 4 << "00000";
        QTest::newRow("selection, no page") << true << true << 0 << "11000";
        QTest::newRow("selection, other page") << true << true << 1 << "11000";
        QTest::newRow("selection, read-only template") << true << true << 2 << "11000";
        QTest::newRow("selection, empty template") << true << true << 3 << "11100";
        QTest::newRow("selection, template with items") << true << true << 4 << "11111";
    }
    void selectionActions()
    {
        QFETCH(bool, document);
        QFETCH(bool, selection);
        QFETCH(int, page);
        QFETCH(QString, enabled);

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QAction* actions[5];
        QAction** globals[] = {&addTemplateMarkerAct, &searchAtomTemplateTOCAct,
                               &newTemplateParagraphFromSelectionAct,
                               &newTemplateChildParagraphFromSelectionAct, &newTemplateContentFromSelectionAct};
        for (int i = 0; i < 5; ++i) {
            actions[i] = new QAction(&window);
            actions[i]->setEnabled(enabled[i] == '0'); // start opposite to the expectation
            *globals[i] = actions[i];
        }
        if (document) {
            window.newFile();
            MdiChild* child = window.activeMdiChild();
            QVERIFY(child);
            child->setPlainText("塔泉笔维德马克");
            if (selection)
                child->selectAll();
        }
        if (page == 1)
            window.mainTabWidget->addTab(new QWidget, "other");
        if (page >= 2) {
            auto* dialog = new TemplateDialog("/t/a.tqw");
            dialog->setProperty("ReadOnly", page == 2);
            if (page != 3)
                new QTreeWidgetItem(dialog->outlineTreeWidget(), QStringList{"entry"});
            window.mainTabWidget->setCurrentIndex(window.mainTabWidget->addTab(dialog, "a"));
        }
        updateSelectionActions();
        QString seen;
        for (QAction* action : actions)
            seen += action->isEnabled() ? '1' : '0';
        QCOMPARE(seen, enabled);
        for (QAction** global : globals)
            *global = nullptr;
    }
};

TQ_TEST_MAIN(SharedCodesTest)
#include "tst_sharedcodes.moc"
