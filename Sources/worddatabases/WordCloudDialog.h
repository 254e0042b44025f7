#pragma once
// Options of the word cloud ("生成词云"): the mask picture whose dark shape the
// cloud fills, the background colour, the largest font size and the most
// words. Kept by the main window for its life, so the choices stay.

#include <QDialog>
#include <QString>

namespace Ui {
class WordCloudDialog;
}

class WordCloudDialog : public QDialog
{
    Q_OBJECT

public:
    explicit WordCloudDialog(QWidget* parent = nullptr);
    ~WordCloudDialog() override;

    // The mask picture shown in the (read-only) field: the last picture chosen
    // that existed; empty before the first choice.
    QString maskFile() const;
    // "#rrggbb" in lower case; "#FFFFFF" until a colour is chosen.
    QString backgroundColor() const;
    int maxFontSize() const;
    int maxWordCount() const;

    static QString maskFolder() { return QStringLiteral("./WordCloudImages"); }

    Ui::WordCloudDialog* ui;

public slots:
    // Closes only while the mask picture in the field exists; otherwise the
    // error text shows and the dialog stays open.
    void accept() override;

private slots:
    // Asks for a picture in ./WordCloudImages. An existing one fills the field;
    // a name that does not exist shows the error text; a cancelled chooser
    // changes nothing.
    void on_maskFilePushButton_clicked();
    // Asks for a colour starting from white; a cancelled chooser keeps the colour.
    void on_backgroundColorPushButton_clicked();

private:
    QString m_backgroundColor = QStringLiteral("#FFFFFF");
};
