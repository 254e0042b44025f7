#pragma once
// "每日一贴": one page per tip of the tip file beside the program. Every page's
// "以后不再提示" box writes ShowTipOfTheDay at once (0 when ticked, else 2) and
// every page turned to shows the box as last set. Nothing in the program opens
// the wizard yet; a caller constructs it and runs it.

#include <QStringList>
#include <QWizard>

namespace Ui {
class TipOfTheDayWizard;
}

constexpr const char TIP_OF_THE_DAY_FILE_NAME[] = "TipOfTheDayVeldmark.txt";

class TipOfTheDayWizard : public QWizard
{
    Q_OBJECT
public:
    explicit TipOfTheDayWizard(QWidget* parent = nullptr);
    ~TipOfTheDayWizard() override;

    QStringList tips() const { return m_tips; }

    // A tip line: trimmed, not beginning with "#", longer than 7 characters.
    static bool isTip(const QString& trimmedLine);

public slots:
    void currentIdChanged(int id);
    void stateChanged(int state);

private:
    Ui::TipOfTheDayWizard* ui;
    QStringList m_tips;
    int m_doNotShowAgainState = 0;
};
