#include "program/identity.h"

#include <QApplication>
#include <QIcon>

namespace program {

void applyIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("DSP Lab developers"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("dsplab.org"));
    QCoreApplication::setApplicationName(QStringLiteral("dsplab"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DSPLAB_VERSION));
    // Wayland compositors find the menu entry, and with it the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.dsplab.DSPLab"));

    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/dsplab-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}

} // namespace program
