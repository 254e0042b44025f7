#pragma once
// The options of name generation: per part of a name a random candidate, a
// candidate of one or two characters, or a fixed text, and the number of names.
// One dialog serves the seven name kinds (58 to 64); it keeps the options while
// the same kind is chosen again and puts parts 1 to 3 back to random for another.
// "确定" emits Ok with every option and hides the dialog.

#include <QDialog>
#include <QString>

class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class AutoGenNameDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int FirstKind = 58;
    static constexpr int LastKind = 64;
    static constexpr int PartCount = 5;

    // The int plays no part: the kind is 0 until the first setType.
    explicit AutoGenNameDialog(QWidget* parent = nullptr, int type = 0);

    void setType(int type);
    int type() const { return m_type; }
    // The mode of part 1 to 5 (DomParser::NamePartMode).
    int partMode(int part) const;
    void resetAll();

    // The template of a kind, relative to the program directory; empty for another kind.
    static QString templateOf(int type);
    // The window title of a kind, translated; empty for another kind.
    static QString titleOf(int type);

    // The widgets of part 1 to 5.
    QGroupBox* partGroup(int part) const { return m_parts[part - 1].group; }
    QRadioButton* randomButton(int part) const { return m_parts[part - 1].random; }
    QRadioButton* oneCharButton(int part) const { return m_parts[part - 1].oneChar; }
    QRadioButton* twoCharButton(int part) const { return m_parts[part - 1].twoChar; }
    QRadioButton* fixedButton(int part) const { return m_parts[part - 1].fixed; }
    QLineEdit* fixedEdit(int part) const { return m_parts[part - 1].edit; }
    QSpinBox* countSpinBox() const { return m_count; }

signals:
    void Ok(int firstPartType, QString str1, int secondPartType, QString str2, int thirdPartType, QString str3,
            int count, int type, int fourthPartType, QString str4, int fifthPartType, QString str5);

public slots:
    void ok();

    void randomCharFirstPartToggled(bool checked);
    void oneCharFirstPartToggled(bool checked);
    void twoCharFirstPartToggled(bool checked);
    void fixedCharFirstPartToggled(bool checked);
    void randomCharSecondPartToggled(bool checked);
    void oneCharSecondPartToggled(bool checked);
    void twoCharSecondPartToggled(bool checked);
    void fixedCharSecondPartToggled(bool checked);
    void randomCharThirdPartToggled(bool checked);
    void oneCharThirdPartToggled(bool checked);
    void twoCharThirdPartToggled(bool checked);
    void fixedCharThirdPartToggled(bool checked);
    void randomCharFourthPartToggled(bool checked);
    void oneCharFourthPartToggled(bool checked);
    void twoCharFourthPartToggled(bool checked);
    void fixedCharFourthPartToggled(bool checked);
    void randomCharFifthPartToggled(bool checked);
    void oneCharFifthPartToggled(bool checked);
    void twoCharFifthPartToggled(bool checked);
    void fixedCharFifthPartToggled(bool checked);

private:
    struct Part
    {
        QGroupBox* group = nullptr;
        QRadioButton* random = nullptr;
        QRadioButton* oneChar = nullptr;
        QRadioButton* twoChar = nullptr;
        QRadioButton* fixed = nullptr;
        QLineEdit* edit = nullptr;
        int mode = 0;
    };

    // Stores the mode of a part (index 0 to 4) when its button is checked.
    void setMode(int index, int mode, bool checked);
    void setFixed(int index, bool checked);

    int m_type = 0;
    Part m_parts[PartCount];
    QSpinBox* m_count = nullptr;
};
