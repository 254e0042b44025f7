#include "WordAutomation.h"

#include <QDebug>

#include "LibreOfficeWordAutomation.h"

namespace {
WordAutomation::Factory& installedFactory()
{
    static WordAutomation::Factory factory;
    return factory;
}
} // namespace

WordAutomation::~WordAutomation() = default;

std::unique_ptr<WordAutomation> WordAutomation::create()
{
    qDebug() << Q_FUNC_INFO << ", custom backend =" << bool(installedFactory());
    if (installedFactory())
        return installedFactory()();
    return std::make_unique<LibreOfficeWordAutomation>();
}

void WordAutomation::setFactory(const Factory& factory)
{
    qDebug() << Q_FUNC_INFO << ", set =" << bool(factory);
    installedFactory() = factory;
}
