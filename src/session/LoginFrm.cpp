#include "session/LoginFrm.h"

#include "foundation/Configs.h"
#include "foundation/Pictures.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsApp.h"
#include "session/ParManager.h"
#include "session/Rights.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {
const QSize LoginPictureSize(400, 110);
}

TLoginForm::TLoginForm(TConfigManager& config, QWidget* parent) : QDialog(parent), m_service(config)
{
    setWindowTitle(QStringLiteral("用户登录"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySystemFont(this);

    Picture = new QLabel(this);
    Picture->setPixmap(loginPicture());
    Picture->setFixedSize(Picture->pixmap().size());

    UserCombo = new QComboBox(this);
    UserCombo->setEditable(true);
    UserCombo->setInsertPolicy(QComboBox::NoInsert);
    UserEdit = new QLineEdit(this);
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    LoginButton = new QPushButton(QStringLiteral("登录(&L)"), this);
    LoginButton->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->setContentsMargins(28, 14, 28, 18);
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(6);
    fields->addWidget(new QLabel(QStringLiteral("用户名称"), this), 0, 0, 1, 2);
    fields->addWidget(UserCombo, 1, 0);
    fields->addWidget(UserEdit, 1, 0);
    fields->addWidget(new QLabel(QStringLiteral("用户密码"), this), 2, 0, 1, 2);
    fields->addWidget(PasswordEdit, 3, 0);
    fields->addWidget(LoginButton, 3, 1);
    fields->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Picture);
    layout->addLayout(fields);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_codes = m_service.LoadUserCodes();
    UserCombo->addItems(m_codes);
    const QString initial = m_service.InitialUserCode(m_codes);
    UserCombo->setCurrentIndex(int(m_codes.indexOf(initial)));
    UserCombo->setEditText(initial);
    UserEdit->setText(initial);
    const bool showList = ParManager().IsShowUserListOnLogin();
    UserCombo->setVisible(showList);
    UserEdit->setVisible(!showList);

    connect(UserCombo->lineEdit(), &QLineEdit::returnPressed, PasswordEdit, qOverload<>(&QWidget::setFocus));
    connect(UserEdit, &QLineEdit::returnPressed, PasswordEdit, qOverload<>(&QWidget::setFocus));
    connect(PasswordEdit, &QLineEdit::returnPressed, LoginButton, &QPushButton::click);
    connect(LoginButton, &QPushButton::clicked, this, [this] { LoginAction(); });
    PasswordEdit->setFocus();
}

TLoginForm::~TLoginForm()
{
    TLoginService::Finish();
}

QLineEdit* TLoginForm::userField() const
{
    return userListShown() ? UserCombo->lineEdit() : UserEdit;
}

bool TLoginForm::userListShown() const
{
    return !UserCombo->isHidden();
}

QString TLoginForm::userText() const
{
    return userField()->text();
}

void TLoginForm::setUserText(const QString& text)
{
    UserCombo->setEditText(text);
    UserEdit->setText(text);
}

bool TLoginForm::AutomaticLoginPossible() const
{
    return TLoginService::AutomaticLoginAllowed(m_codes, userText(), PasswordEdit->text());
}

TLoginService::Result TLoginForm::LoginAction()
{
    const TLoginService::Result result = m_service.Login(userText(), PasswordEdit->text());
    switch (result) {
    case TLoginService::Result::Success:
        m_loggedIn = true;
        accept();
        break;
    case TLoginService::Result::WrongPassword:
        PasswordEdit->selectAll();
        PasswordEdit->setFocus();
        break;
    default:
        userField()->setFocus();
        break;
    }
    return result;
}

QPixmap TLoginForm::loginPicture()
{
    QPixmap picture = PictureOverride(QStringLiteral("Login.bmp"));
    if (!picture.isNull())
        return picture;

    picture = QPixmap(LoginPictureSize);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, LoginPictureSize.width(), LoginPictureSize.height());
    background.setColorAt(0, QColor(0x1d, 0x4e, 0x89));
    background.setColorAt(1, QColor(0x0b, 0x2a, 0x4a));
    painter.fillRect(picture.rect(), background);
    const QList<QColor> spines = {QColor(0xe0, 0x7a, 0x5f), QColor(0xf2, 0xcc, 0x8f), QColor(0x81, 0xb2, 0x9a),
                                  QColor(0x3d, 0x85, 0xc6)};
    int x = LoginPictureSize.width() - 110;
    for (int i = 0; i < 6; ++i) {
        const int w = 12 + (i * 5) % 7;
        const int h = 46 + (i * 17) % 30;
        painter.fillRect(QRect(x, LoginPictureSize.height() - 18 - h, w, h), spines[i % spines.size()]);
        x += w + 3;
    }
    QFont title = QApplication::font();
    title.setPixelSize(24);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(24, 18, 280, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("图书馆管理系统"));
    QFont subtitle = QApplication::font();
    subtitle.setPixelSize(14);
    painter.setFont(subtitle);
    painter.setPen(QColor(0xcf, 0xdd, 0xee));
    painter.drawText(QRect(26, 62, 280, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("请输入用户名称和密码"));
    return picture;
}

bool ShowLogin(TConfigManager& config, bool automatic, QWidget* parent)
{
    bool loggedIn = false;
    {
        TLoginForm form(config, parent);
        if (automatic && form.AutomaticLoginPossible())
            form.LoginAction();
        if (!form.loggedIn())
            form.exec();
        loggedIn = form.loggedIn();
    }
    // Outside an event loop there is nothing to end, and a pending exit would make every
    // later modal dialog return at once.
    if (CurrentUser.UserCode.isEmpty() && QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
    return loggedIn;
}

bool ShowLogin(bool automatic, QWidget* parent)
{
    return ShowLogin(ConfigManager(), automatic, parent);
}
