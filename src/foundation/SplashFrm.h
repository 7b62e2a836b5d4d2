#pragma once

#include <QLabel>
#include <QWidget>

// The borderless start-up picture. Velmora shows its progress steps on it; the kiosk shows
// the bare picture and keeps it on top. "Splash.bmp" in the current folder replaces the
// built-in picture.
class TSplashForm : public QWidget
{
    Q_OBJECT

public:
    enum class Style { WithProgress, PictureOnly };
    explicit TSplashForm(Style style = Style::WithProgress, QWidget* parent = nullptr);

    // Shows "text ..." at once: the work of each step blocks the event loop.
    void SetProgress(const QString& text);
    QString progressText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QPixmap builtInPicture(const QSize& size);
    QPixmap m_picture;
    QLabel* m_progress = nullptr;
};
