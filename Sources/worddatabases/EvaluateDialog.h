#pragma once
// What the character and word evaluation option dialogs share: the chart type,
// the chart size (the height always follows the width), how many of the most
// frequent entries to show, whether non-Chinese characters count, and the
// target (the current text or a directory). The dialogs are kept by the main
// window for its life, so every field keeps the user's last choice.

#include <QDialog>
#include <QString>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class EvaluateDialog : public QDialog
{
    Q_OBJECT

public:
    // The value of the count field: show only this many of the most frequent entries.
    int topCount() const;
    // Side of the square chart in pixels.
    int chartSize() const;
    bool isBarChart() const;
    bool isPieChart() const;
    bool includeNonChinese() const;
    // The text of the directory field, whatever the target.
    QString directory() const;
    bool isDirectoryTarget() const;

public slots:
    // Stays open, the directory field focused, while the target is a directory
    // and no directory is named.
    void accept() override;

protected:
    // The form's widgets of the shared options, by their object names.
    struct Widgets
    {
        QRadioButton* pieChartRadioButton;
        QRadioButton* barChartRadioButton;
        QSpinBox* widthSpinBox;
        QSpinBox* heightSpinBox;
        QSpinBox* charCountSpinBox;
        QCheckBox* includeNonChineseCheckBox;
        QRadioButton* currentFileRadioButton;
        QRadioButton* directoryRadioButton;
        QLineEdit* directoryNameLineEdit;
        QDialogButtonBox* buttonBox;
    };

    explicit EvaluateDialog(QWidget* parent);
    // Wires the shared behaviour; called once the form is set up.
    void attach(const Widgets& widgets);
    // The shared widgets of a form that names them alike.
    template <typename Form>
    static Widgets widgetsOf(const Form* ui)
    {
        return Widgets{ui->pieChartRadioButton,    ui->barChartRadioButton,       ui->widthSpinBox,
                       ui->heightSpinBox,          ui->charCountSpinBox,          ui->includeNonChineseCheckBox,
                       ui->currentFileRadioButton, ui->directoryRadioButton,      ui->directoryNameLineEdit,
                       ui->buttonBox};
    }
    // The platform's directory chooser; empty when cancelled.
    static QString askDirectory();

    Widgets m_widgets{};

private slots:
    void mirrorWidth(int width);
    void updateDirectoryField();
};
