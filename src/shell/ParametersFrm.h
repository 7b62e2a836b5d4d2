#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TConfigManager;

// "系统参数设置": edits the single row of Par_tab through ParQuery (a new row when the table
// is empty). Only "保存(&S)" keeps the edit; any other way of closing discards it.
class TParForm : public QDialog
{
    Q_OBJECT

public:
    explicit TParForm(TConfigManager& config, QWidget* parent = nullptr);
    explicit TParForm(QWidget* parent = nullptr);
    ~TParForm() override;

    void Save();

    QTabWidget* Pages;
    QLineEdit* SystemNameEdit;
    QLineEdit* CorpNameEdit;
    QCheckBox* ExitConfirmCheck;
    QCheckBox* UserListCheck;
    QCheckBox* MaxBookManagerCheck;
    QPushButton* SaveButton;
    QPushButton* CancelButton;

private:
    void loadValues();
    void discard();
};
