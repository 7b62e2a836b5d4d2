#pragma once

#include <QDialog>
#include <QLabel>

class QPushButton;
class TConfigManager;

// A web address that turns red without underline under the mouse, blue and underlined
// otherwise, and opens its address when clicked.
class TWebLabel : public QLabel
{
    Q_OBJECT

public:
    TWebLabel(const QString& address, QWidget* parent = nullptr);
    bool isHovered() const { return m_hovered; }

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setHovered(bool hovered);
    bool m_hovered = false;
};

// "关于": the program's name and version, the library's name, and the support line.
class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(TConfigManager& config, QWidget* parent = nullptr);
    explicit TAboutForm(QWidget* parent = nullptr);

    // Where a click on the web label goes.
    const QString& webAddress() const { return m_webAddress; }

    QLabel* IconLabel;
    QLabel* NameLabel;
    QLabel* VersionLabel;
    QLabel* CorpNameLabel;
    QLabel* SupportLabel;
    TWebLabel* WebLabel;
    QPushButton* SystemInfoButton;
    QPushButton* OkButton;

private:
    QString m_webAddress;
};

// The first system-information tool of the desktop found on PATH; empty when none is.
QString FindSystemInformationTool();
// Starts it, or says in an information box that there is none.
void RunSystemInformationTool();

inline const QString MakerNotice = QStringLiteral("Velmora 开发组  版权所有");
inline const QString MakerWebAddress = QStringLiteral("https://www.velmora.example");
