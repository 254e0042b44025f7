// Main window: article generation (engine, template walks, genre, news and name commands).
// Bodies marked "(interim)" log their call only and are filled as the commands are built.

#include "MainWindow.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QPushButton>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "InputHistory.h"
#include "PoemConfigDialog.h"
#include "SharedCodes.h"

void MainWindow::autoGenStart()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::resetAutoGenInputs()
{
    qDebug() << Q_FUNC_INFO;
    storyInputDialog()->resetAllSettings();
}

void MainWindow::resetAutoGenInputDialog4AdvertisementInputs()
{
    qDebug() << Q_FUNC_INFO;
    advertisementInputDialog()->resetAllSettings();
}

void MainWindow::resetAutoGenInputDialog4AdvertisementSoftInputs()
{
    qDebug() << Q_FUNC_INFO;
    advertorialInputDialog()->resetAllSettings();
}

// ---- Input dialogs -------------------------------------------------------------
// Made on first use, so a command that runs before the deferred start-up work
// finds its dialog; acceptance starts the generation, Reset forgets the history.

namespace {
template <typename Dialog>
Dialog* makeInputDialog(MainWindow* window, Dialog*& member, const char* resetSlot)
{
    if (!member) {
        member = new Dialog(window);
        QObject::connect(member, SIGNAL(accepted()), window, SLOT(autoGenStart()));
        if (resetSlot)
            QObject::connect(member->buttonBox()->button(QDialogButtonBox::Reset), SIGNAL(clicked()), window,
                             resetSlot);
    }
    return member;
}
} // namespace

AutoGenInputDialog* MainWindow::storyInputDialog()
{
    return makeInputDialog(this, autoGenInputDialog, SLOT(resetAutoGenInputs()));
}

AutoGenInputDialog4Advertisement* MainWindow::advertisementInputDialog()
{
    return makeInputDialog(this, autoGenInputDialog4Advertisement,
                           SLOT(resetAutoGenInputDialog4AdvertisementInputs()));
}

AutoGenInputDialog4AdvertisementSoft* MainWindow::advertorialInputDialog()
{
    return makeInputDialog(this, autoGenInputDialog4AdvertisementSoft,
                           SLOT(resetAutoGenInputDialog4AdvertisementSoftInputs()));
}

PoemConfigDialog* MainWindow::poemSettingsDialog()
{
    return makeInputDialog(this, poemConfigDialog, nullptr);
}

// ---- Generation engine ---------------------------------------------------------

bool MainWindow::autoGenFromTemplate(QString&, const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return false;
}

bool MainWindow::isAdvertisementTemplate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return false;
}

// ---- Template walks and fixed contents -----------------------------------------

void MainWindow::autoGen(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoGen()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoGenFromCurrentItem()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoGenParseItem(QTreeWidgetItem*, int, int, QString)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoGenAll()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoGenFinal()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

QStringList MainWindow::splitByMarkers(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return QStringList();
}

// ---- Generation commands -------------------------------------------------------

void MainWindow::autoGenInit(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoGenGeneric(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::showAutoGenInputDialog(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::advertisement()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::skeleton()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::chapter()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::accost()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::conversation()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::loving()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::figure()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::story()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::war()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::poem()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::loveLetter()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::characterDesignDummy()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::storyDesignDummy()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::news()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::worldNews()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::domesticNews()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::cultureNews()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::entertainmentNews()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::sportsNews()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::technologyNews()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::houseNews()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::carNews()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::politics()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::partyAffairs()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::diplomacy()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::industry()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::economy()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::agriculture()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::culture()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::education()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::publicWelfare()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::ethnicGroups()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::religions()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::disasterPrevention()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::environmentalProtection()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::diary()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::prose()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::letter()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Input history -------------------------------------------------------------

void MainWindow::saveComboBoxHistory(QComboBox* comboBox, const QString& key)
{
    qDebug() << Q_FUNC_INFO << ", key =" << key;
    InputHistory::save(comboBox, key, settings);
}

// ---- Name generation -----------------------------------------------------------

#include <QDockWidget>
#include <QListWidget>
#include <QMessageBox>

#include "AutoGenNameDialog.h"
#include "DomParser.h"
#include "Prompt.h"

void MainWindow::autoGenNameGeneric(int type)
{
    qDebug() << Q_FUNC_INFO << ", type =" << type;
    if (!autoGenNameDialog) {
        autoGenNameDialog = new AutoGenNameDialog(this);
        connect(autoGenNameDialog, &AutoGenNameDialog::Ok, this, &MainWindow::autoGenNameGenericStart);
    }
    autoGenNameDialog->setType(type);
    autoGenNameDialog->adjustSize();
    autoGenNameDialog->show();
    autoGenNameDialog->raise();
    autoGenNameDialog->activateWindow();
}

void MainWindow::autoGenNameGenericStart(int selection1, QString str1, int selection2, QString str2, int selection3,
                                         QString str3, int count, int type, int selection4, QString str4,
                                         int selection5, QString str5)
{
    qDebug() << Q_FUNC_INFO << ", count =" << count << ", type =" << type;

    currentAutoGenTemplate = AutoGenNameDialog::templateOf(type);
    DomParser parser;
    if (!parser.readFile(currentAutoGenTemplate)) {
        QMessageBox box(QMessageBox::Warning, tr("错误"), currentAutoGenTemplate + tr(" 未找到或格式错误!"),
                        QMessageBox::Ok, this);
        Prompt::current().exec(box);
        return;
    }
    parser.buildTree();
    accessoryDock->show();

    QStringList names;
    parser.generateNames(str1, selection1, str2, selection2, str3, selection3, count, type, &names, str4,
                         selection4, str5, selection5);
    accessoryListWidget->clear();
    for (int i = 0; i < qMin(count, names.size()); ++i)
        accessoryListWidget->addItem(names.at(i));
}
