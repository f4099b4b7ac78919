#pragma once
#include <QPixmap>
#include <QSize>

// The program's logo, drawn at the given size.
QPixmap ZepLogo(const QSize& size);
