#include "PreferencesDialog.h"

#include <QCheckBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "EditorTab.h"
#include "GeneralTab.h"
#include "LogTab.h"
#include "Prompt.h"
#include "SaveTab.h"
#include "SearchTab.h"
#include "ShortcutsConfigForm.h"
#include "UpdateTab.h"
#include "VeldmarkTab.h"

PreferencesDialog::PreferencesDialog(QWidget* parent, QMdiArea* documents, const QMap<QString, QString>& languages)
    : QDialog(parent)
{
    qDebug() << Q_FUNC_INFO;
    generalTab = new GeneralTab(languages, this);
    editorTab = new EditorTab(documents, this);
    shortcutsPage = new ShortcutsConfigForm(this);
    saveTab = new SaveTab(this);
    searchTab = new SearchTab(this);
    logTab = new LogTab(this);
    updateTab = new UpdateTab(this);
    veldmarkTab = new VeldmarkTab(this);

    tabWidget = new QTabWidget(this);
    tabWidget->addTab(generalTab, tr("通用"));
    tabWidget->addTab(editorTab, tr("编辑"));
    tabWidget->addTab(saveTab, tr("保存"));
    tabWidget->addTab(searchTab, tr("搜索"));
    tabWidget->addTab(shortcutsPage, tr("快捷键"));
    shortcutsPage->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    tabWidget->addTab(veldmarkTab, tr("校对"));
    tabWidget->addTab(logTab, tr("日志"));
    tabWidget->addTab(updateTab, tr("更新"));

    for (PreferencesPage* page : {static_cast<PreferencesPage*>(generalTab), static_cast<PreferencesPage*>(editorTab)})
        connect(page, &PreferencesPage::readSettingsRequested, this, &PreferencesDialog::readSettingsRequested);
    connect(searchTab, &SearchTab::searchHistoryCleared, this, &PreferencesDialog::searchHistoryCleared);

    applyPushButton = new QPushButton(tr("应用"), this);
    okPushButton = new QPushButton(tr("确定"), this);
    cancelPushButton = new QPushButton(tr("取消"), this);
    okPushButton->setAutoDefault(true);
    okPushButton->setDefault(true);
    connect(applyPushButton, SIGNAL(clicked()), this, SLOT(apply()));
    connect(okPushButton, SIGNAL(clicked()), this, SLOT(ok()));
    connect(cancelPushButton, SIGNAL(clicked()), this, SLOT(cancel()));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(applyPushButton);
    buttons->addWidget(okPushButton);
    buttons->addWidget(cancelPushButton);
    auto* layout = new QVBoxLayout;
    layout->addWidget(tabWidget);
    layout->addLayout(buttons);
    setLayout(layout);

    setWindowTitle(tr("首选项"));
    resize(width() + 500, height());
}

QCheckBox* PreferencesDialog::showSpellingResultMessageBoxCheckBox() const
{
    return generalTab->showSpellingResultMessageBoxCheckBox;
}

void PreferencesDialog::apply()
{
    const uint index = static_cast<uint>(qMax(0, tabWidget->currentIndex()));
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    for (int i = 0; i < tabWidget->count(); ++i)
        if (auto* page = qobject_cast<PreferencesPage*>(tabWidget->widget(i)))
            page->apply();
    emit Apply(index);
    QMessageBox box(QMessageBox::Information, tr("提示!"), tr("部分偏好设置修改后, 需要重启程序才能生效!"),
                    QMessageBox::Ok, this);
    Prompt::current().exec(box);
    emit shortcutsRebindRequested();
}

void PreferencesDialog::ok()
{
    qDebug() << Q_FUNC_INFO;
    apply();
    accept();
}

void PreferencesDialog::cancel()
{
    qDebug() << Q_FUNC_INFO;
    reject();
}

void PreferencesDialog::showEvent(QShowEvent* event)
{
    // Sized once, at the first showing, and never beyond the screen.
    if (!m_sized) {
        m_sized = true;
        QSize size(tabWidget->width() + 100, tabWidget->height());
        if (const QScreen* screen = windowHandle() ? windowHandle()->screen() : QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->availableGeometry().size());
        resize(size);
    }
    QDialog::showEvent(event);
}
