#include "MdiArea.h"

MdiArea::MdiArea(QWidget* parent)
    : QMdiArea(parent)
{
}
