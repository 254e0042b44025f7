#pragma once
// Takes the desktop's URL handling while it lives: every URL the code under test
// hands to QDesktopServices::openUrl (http, https, mailto, file) is recorded,
// and nothing is opened.
//
//     UrlRecorder recorder;
//     QTest::mouseClick(signUpButton, Qt::LeftButton);
//     QCOMPARE(recorder.urls, QList<QUrl>{QUrl(expected)});

#include <QList>
#include <QObject>
#include <QUrl>

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    explicit UrlRecorder(QObject* parent = nullptr);
    ~UrlRecorder() override;

    QList<QUrl> urls;

public slots:
    void openUrl(const QUrl& url);
};
