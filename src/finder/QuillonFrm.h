#pragma once

#include <QMainWindow>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class TFinderColumnsModel;
class TFinderService;

// The kiosk's one window: pick a search field, type a text, browse the matching titles
// and the copies of the selected one. Full screen, on top, read-only.
class TQuillonForm : public QMainWindow
{
    Q_OBJECT

public:
    using ProgramRunner = std::function<void(const QString& file, const QString& params)>;

    // Searches at once, listing every title. Uses `service` (not owned) when given,
    // otherwise one of its own on the shared connection.
    explicit TQuillonForm(TFinderService* service = nullptr, QWidget* parent = nullptr);
    ~TQuillonForm() override;

    // How "显示键盘" starts the on-screen keyboard (RunProgram unless replaced).
    void setProgramRunner(ProgramRunner runner) { m_runProgram = std::move(runner); }

    // "开始查询": the titles matching the text in the selected field.
    void Search();
    void ShowKeyboard();
    // Name of the selected search field; empty when none is selected.
    QString selectedFieldName() const;

    TFinderService* service() const { return m_service; }
    QLabel* headerPicture() const { return m_header; }
    QToolButton* closeButton() const { return m_closeButton; }
    QComboBox* searchFieldBox() const { return m_fieldBox; }
    QLineEdit* searchTextEdit() const { return m_textEdit; }
    QPushButton* searchButton() const { return m_searchButton; }
    QPushButton* keyboardButton() const { return m_keyboardButton; }
    QTableView* titlesGrid() const { return m_titlesGrid; }
    QTableView* copiesGrid() const { return m_copiesGrid; }
    QLabel* statusText() const { return m_status; }

    // The header picture when no "Finder.bmp" overrides it.
    static QPixmap builtInHeaderPicture();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createHeader();
    QWidget* createSearchRow();
    QTableView* createGrid(TFinderColumnsModel* model);
    void fillSearchFields();
    void loadHeaderPicture();
    void applyColumnWidths(QTableView* grid, const QList<int>& widths);
    QList<int> characterWidths(const TFinderColumnsModel* model) const;
    void keepColumnWidths(QTableView* grid, QList<int>& widths);
    void titleChanged(int row);
    void showTitleCount(qint64 count);
    void titlesReadFailed(const QString& message);
    void selectFirstTitle();
    // Errors reach the program's handler, which shows them; the window stays usable.
    void guarded(const std::function<void()>& action);

    TFinderService* m_service;
    TFinderColumnsModel* m_titles = nullptr;
    TFinderColumnsModel* m_copies = nullptr;
    QList<int> m_titleWidths;
    QList<int> m_copyWidths;  // fitted to the grid's width
    bool m_applyingWidths = false;
    quint64 m_reportedSearch = 0;  // the search whose read failure was last shown
    ProgramRunner m_runProgram;

    QLabel* m_header = nullptr;
    QToolButton* m_closeButton = nullptr;
    QComboBox* m_fieldBox = nullptr;
    QLineEdit* m_textEdit = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_keyboardButton = nullptr;
    QTableView* m_titlesGrid = nullptr;
    QTableView* m_copiesGrid = nullptr;
    QLabel* m_status = nullptr;
};
