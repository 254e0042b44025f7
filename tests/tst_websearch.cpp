// Web search from the search toolbar and of the document's selection.

#include <QComboBox>
#include <QLineEdit>
#include <QTextCursor>
#include <QUrlQuery>

#include "MainWindow.h"
#include "MdiChild.h"
#include "TestSupport.h"

class WebSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void engineUrls_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("queryKey");

        const QStringList texts{"长城", "C#", "R&D", "a+b c", "50%", "x/../y?z", ""};
        struct Engine
        {
            int index;
            const char* host;
            const char* path;
            const char* key;
        };
        const Engine engines[] = {{0, "www.baidu.com", "/s", "wd"},
                                  {1, "cn.bing.com", "/search", "q"},
                                  {2, "www.google.com", "/search", "q"},
                                  {3, "zh.wikipedia.org", "/wiki/", ""},
                                  {-1, "www.google.com", "/search", "q"}};
        for (const Engine& engine : engines)
            for (const QString& text : texts)
                QTest::addRow("%d %s", engine.index, qPrintable(text))
                    << engine.index << text << engine.host << engine.path << engine.key;
    }

    void engineUrls()
    {
        QFETCH(int, engine);
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(QString, path);
        QFETCH(QString, queryKey);

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        MessageCapture capture;
        window.searchEngineComboBox->setCurrentIndex(engine);
        window.searchLineEdit->setText(text);
        QTest::keyClick(window.searchLineEdit, Qt::Key_Return);

        QCOMPARE(prompt.openedUrls.size(), 1);
        const QUrl url = prompt.openedUrls.first();
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), QString("https"));
        QCOMPARE(url.host(), host);
        QVERIFY(!url.hasFragment());
        if (queryKey.isEmpty()) {
            // The wiki engine takes the text as one path segment.
            QVERIFY(!url.hasQuery());
            QCOMPARE(url.path(QUrl::FullyEncoded),
                     path + QString::fromLatin1(QUrl::toPercentEncoding(text)));
        } else {
            QCOMPARE(url.path(), path);
            const QUrlQuery query(url);
            QCOMPARE(query.queryItemValue(queryKey, QUrl::FullyDecoded), text);
            QCOMPARE(query.allQueryItemValues(queryKey).size(), 1);
            if (engine == 0)
                QCOMPARE(query.queryItemValue("ie"), QString("utf-8"));
        }
        QVERIFY(capture.contains("url ="));
    }

    void wikiPathOfChineseText()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        window.searchEngineComboBox->setCurrentIndex(3);
        window.searchLineEdit->setText("长城");
        window.searchReturnPressed();
        QCOMPARE(prompt.openedUrls.value(0).toString(QUrl::FullyEncoded),
                 QString("https://zh.wikipedia.org/wiki/%E9%95%BF%E5%9F%8E"));
    }

    void selectionSearch_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("searched");
        QTest::newRow("no selection") << "长城很长" << 0 << 0 << "";
        QTest::newRow("word") << "长城很长" << 0 << 2 << "长城";
        QTest::newRow("across paragraphs") << "R&D\n部门" << 0 << 6 << "R&D 部门";
    }

    void selectionSearch()
    {
        QFETCH(QString, document);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, searched);

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        window.webSearch(); // no document: nothing
        QVERIFY(prompt.openedUrls.isEmpty());

        window.newFile();
        MdiChild* child = window.activeMdiChild();
        child->setPlainText(document);
        QTextCursor cursor = child->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        child->setTextCursor(cursor);
        window.searchEngineComboBox->setCurrentIndex(1);
        window.searchLineEdit->setText("old text");
        window.webSearch();

        QCOMPARE(window.searchLineEdit->text(), searched);
        QCOMPARE(prompt.openedUrls.size(), 1);
        QCOMPARE(prompt.openedUrls.first().host(), QString("cn.bing.com"));
        QCOMPARE(QUrlQuery(prompt.openedUrls.first()).queryItemValue("q", QUrl::FullyDecoded), searched);
    }

    void shortcutSearchesSelection()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        child->setPlainText("春风又绿江南岸");
        child->selectAll();
        child->setFocus();
        ScriptedPrompt prompt;
        window.searchEngineComboBox->setCurrentIndex(0);
        QTest::keyClick(child, Qt::Key_F11, Qt::AltModifier);
        QCOMPARE(prompt.openedUrls.size(), 1);
        QCOMPARE(QUrlQuery(prompt.openedUrls.first()).queryItemValue("wd", QUrl::FullyDecoded),
                 QString("春风又绿江南岸"));
    }

    void browserCommandsDoNothing()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        window.urlActivated("https://example.org/");
        window.prevUrl();
        window.nextUrl();
        window.stopUrl();
        window.reloadUrl();
        window.homePageUrl();
        window.newBookmarkUrl();
        window.bookmarkList();
        QVERIFY(prompt.openedUrls.isEmpty());
        QVERIFY(prompt.texts.isEmpty());
    }
};

TQ_TEST_MAIN(WebSearchTest)
#include "tst_websearch.moc"
