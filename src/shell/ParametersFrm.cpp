#include "shell/ParametersFrm.h"

#include "foundation/Configs.h"
#include "foundation/DataModule.h"
#include "foundation/Schema.h"
#include "foundation/UtilsApp.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString SystemNameField = QStringLiteral("SystemName");
const QString CorpNameField = QStringLiteral("CorpName");
const QString ExitConfirmField = QStringLiteral("IsExitConfirm");
const QString UserListField = QStringLiteral("IsShowUserListOnLogin");
const QString MaxBookManagerField = QStringLiteral("IsMaxBookManager");

DataSet& parQuery()
{
    return DM1->ParQuery;
}

int columnWidth(const QString& column)
{
    const TableDef* table = Schema::instance().table(QStringLiteral("Par_tab"));
    const ColumnDef* def = table ? table->column(column) : nullptr;
    return def && def->width > 0 ? def->width : 32767;
}

// A NULL flag shows what the program does with it.
bool flagValue(DataSet& query, const QString& field, bool whenNull)
{
    const DataField f = query.fieldByName(field);
    return f.isNull() ? whenNull : f.asBoolean();
}

} // namespace

TParForm::TParForm(QWidget* parent) : TParForm(ConfigManager(), parent) {}

TParForm::TParForm(TConfigManager& config, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("系统参数设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySystemFont(this);

    SystemNameEdit = new QLineEdit(this);
    SystemNameEdit->setMaxLength(columnWidth(SystemNameField));
    SystemNameEdit->setEnabled(!config.IsOEM());  // a rebranded title comes from Config.ini
    CorpNameEdit = new QLineEdit(this);
    CorpNameEdit->setMaxLength(columnWidth(CorpNameField));
    ExitConfirmCheck = new QCheckBox(QStringLiteral("退出系统时显示确认对话框"), this);
    UserListCheck = new QCheckBox(QStringLiteral("在登录界面显示用户列表"), this);
    MaxBookManagerCheck = new QCheckBox(QStringLiteral("书刊信息维护窗口打开时最大化"), this);

    auto* basic = new QWidget(this);
    auto* form = new QFormLayout(basic);
    form->setContentsMargins(16, 16, 16, 16);
    form->setVerticalSpacing(10);
    form->addRow(QStringLiteral("系统名称"), SystemNameEdit);
    form->addRow(QStringLiteral("使用单位"), CorpNameEdit);
    form->addRow(QString(), ExitConfirmCheck);
    form->addRow(QString(), UserListCheck);
    form->addRow(QString(), MaxBookManagerCheck);
    Pages = new QTabWidget(this);
    Pages->addTab(basic, QStringLiteral("基本信息"));

    SaveButton = new QPushButton(QStringLiteral("保存(&S)"), this);
    CancelButton = new QPushButton(QStringLiteral("取消(&C)"), this);
    SaveButton->setAutoDefault(false);
    CancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SaveButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    connect(SaveButton, &QPushButton::clicked, this, &TParForm::Save);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    DataSet& query = parQuery();
    query.close();
    query.open();
    if (query.isEmpty())
        query.append();
    else
        query.edit();
    loadValues();
}

TParForm::~TParForm()
{
    discard();
}

void TParForm::loadValues()
{
    DataSet& query = parQuery();
    SystemNameEdit->setText(query.fieldByName(SystemNameField).asString());
    CorpNameEdit->setText(query.fieldByName(CorpNameField).asString());
    ExitConfirmCheck->setChecked(flagValue(query, ExitConfirmField, false));
    UserListCheck->setChecked(flagValue(query, UserListField, true));
    MaxBookManagerCheck->setChecked(flagValue(query, MaxBookManagerField, true));
}

void TParForm::Save()
{
    DataSet& query = parQuery();
    if (SystemNameEdit->isEnabled())
        query.fieldByName(SystemNameField).setValue(SystemNameEdit->text());
    query.fieldByName(CorpNameField).setValue(CorpNameEdit->text());
    query.fieldByName(ExitConfirmField).setValue(ExitConfirmCheck->isChecked() ? 1 : 0);
    query.fieldByName(UserListField).setValue(UserListCheck->isChecked() ? 1 : 0);
    query.fieldByName(MaxBookManagerField).setValue(MaxBookManagerCheck->isChecked() ? 1 : 0);
    query.post();
    accept();
}

void TParForm::discard()
{
    if (!DM1)
        return;
    DataSet& query = parQuery();
    if (query.isEditing())
        query.cancel();
    query.close();
}
