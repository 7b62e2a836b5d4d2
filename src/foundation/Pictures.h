#pragma once

#include <QPixmap>

// A picture file in the current folder that replaces one of the built-in pictures
// (Splash.bmp, Login.bmp, Main.bmp, Finder.bmp…); null when absent or unreadable.
QPixmap PictureOverride(const QString& fileName);

// Shows the busy cursor for its lifetime, also when an error leaves the scope.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_shown;
};
