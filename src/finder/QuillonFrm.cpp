#include "finder/QuillonFrm.h"

#include "finder/FinderColumnsModel.h"
#include "finder/FinderService.h"
#include "finder/FitColumns.h"
#include "foundation/Application.h"
#include "foundation/Messages.h"
#include "foundation/PagedQueryModel.h"
#include "foundation/Pictures.h"
#include "foundation/UtilsApp.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString FormTitle = QStringLiteral("Aurel图书馆公共查询 - 桌面版");
const QString HeaderPictureFile = QStringLiteral("Finder.bmp");
const QString OnScreenKeyboard = QStringLiteral("osk.exe");
const int HeaderHeight = 100;
const int SearchRowWidth = 820;
const int CopiesGridHeight = 200;
const int VisibleSearchFields = 20;

QLabel* fixedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return label;
}

} // namespace

TQuillonForm::TQuillonForm(TFinderService* service, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_service(service ? service : new TFinderService(nullptr, this)), m_runProgram(&RunProgram)
{
    setObjectName(QStringLiteral("QuillonForm"));
    setWindowTitle(FormTitle);
    ApplySystemFont(this);

    m_titles = new TFinderColumnsModel(m_service->BooksQuery(), FinderTitleColumns(), this);
    m_copies = new TFinderColumnsModel(m_service->CopiesQuery(), FinderCopyColumns(), this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(createHeader());
    layout->addWidget(createSearchRow());
    m_titlesGrid = createGrid(m_titles);
    m_titlesGrid->setObjectName(QStringLiteral("TitlesGrid"));
    layout->addWidget(m_titlesGrid, 1);
    m_copiesGrid = createGrid(m_copies);
    m_copiesGrid->setObjectName(QStringLiteral("CopiesGrid"));
    m_copiesGrid->setFixedHeight(CopiesGridHeight);
    m_copiesGrid->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_copiesGrid->setLineWidth(2);
    m_copiesGrid->installEventFilter(this);
    layout->addWidget(m_copiesGrid);
    setCentralWidget(central);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusText"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(m_status, 1);

    connect(m_service, &TFinderService::titleCountKnown, this, &TQuillonForm::showTitleCount);
    connect(m_titlesGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { titleChanged(current.row()); });
    connect(m_service->BooksQuery(), &PagedQueryModel::readFailed, this, &TQuillonForm::titlesReadFailed);

    m_titleWidths = characterWidths(m_titles);
    m_copyWidths = characterWidths(m_copies);
    keepColumnWidths(m_titlesGrid, m_titleWidths);
    keepColumnWidths(m_copiesGrid, m_copyWidths);
    // Without a window manager to maximise it, the window still covers the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);

    loadHeaderPicture();
    fillSearchFields();
    Search();
}

TQuillonForm::~TQuillonForm() = default;

QWidget* TQuillonForm::createHeader()
{
    auto* band = new QWidget(this);
    band->setObjectName(QStringLiteral("HeaderBand"));
    band->setAutoFillBackground(true);
    QPalette white = band->palette();
    white.setColor(QPalette::Window, Qt::white);
    band->setPalette(white);
    band->setFixedHeight(HeaderHeight);

    m_header = new QLabel(band);
    m_header->setObjectName(QStringLiteral("HeaderPicture"));
    m_header->setAlignment(Qt::AlignCenter);
    m_header->setFixedHeight(HeaderHeight);

    m_closeButton = new QToolButton(band);
    m_closeButton->setObjectName(QStringLiteral("CloseButton"));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setText(QStringLiteral("✕"));
    m_closeButton->setFixedSize(32, 32);
    QFont closeFont = m_closeButton->font();
    closeFont.setPixelSize(18);
    m_closeButton->setFont(closeFont);
    m_closeButton->setToolTip(QStringLiteral("关闭"));
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    connect(m_closeButton, &QToolButton::clicked, this, &QWidget::close);

    auto* layout = new QGridLayout(band);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_header, 0, 0);
    layout->addWidget(m_closeButton, 0, 0, Qt::AlignTop | Qt::AlignRight);
    return band;
}

QWidget* TQuillonForm::createSearchRow()
{
    auto* row = new QWidget(this);
    auto* centred = new QHBoxLayout(row);
    centred->setContentsMargins(0, 6, 0, 6);

    auto* box = new QWidget(row);
    box->setFixedWidth(SearchRowWidth);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);

    m_fieldBox = new QComboBox(box);
    m_fieldBox->setObjectName(QStringLiteral("SearchFieldBox"));
    m_fieldBox->setMaxVisibleItems(VisibleSearchFields);
    m_fieldBox->setMinimumContentsLength(8);

    m_textEdit = new QLineEdit(box);
    m_textEdit->setObjectName(QStringLiteral("SearchTextEdit"));
    connect(m_textEdit, &QLineEdit::returnPressed, this, &TQuillonForm::Search);

    m_searchButton = new QPushButton(QStringLiteral("开始查询(&F)"), box);
    m_searchButton->setObjectName(QStringLiteral("SearchButton"));
    connect(m_searchButton, &QPushButton::clicked, this, &TQuillonForm::Search);

    m_keyboardButton = new QPushButton(QStringLiteral("显示键盘(&K)"), box);
    m_keyboardButton->setObjectName(QStringLiteral("KeyboardButton"));
    connect(m_keyboardButton, &QPushButton::clicked, this, &TQuillonForm::ShowKeyboard);

    layout->addWidget(fixedLabel(QStringLiteral("查询条件："), box));
    layout->addWidget(m_fieldBox);
    layout->addSpacing(8);
    layout->addWidget(fixedLabel(QStringLiteral("查询内容："), box));
    layout->addWidget(m_textEdit, 1);
    layout->addWidget(m_searchButton);
    layout->addWidget(m_keyboardButton);

    centred->addStretch(1);
    centred->addWidget(box);
    centred->addStretch(1);
    return row;
}

QTableView* TQuillonForm::createGrid(TFinderColumnsModel* model)
{
    auto* grid = new QTableView(this);
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setAlternatingRowColors(true);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    // Fixed row heights keep a list of a million rows cheap to lay out.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    return grid;
}

void TQuillonForm::fillSearchFields()
{
    m_fieldBox->clear();
    int selected = 0;
    for (const FinderSearchField& field : FinderSearchFields()) {
        if (field.name == FinderDefaultSearchField)
            selected = m_fieldBox->count();
        m_fieldBox->addItem(field.caption, field.name);
    }
    m_fieldBox->setCurrentIndex(selected);
}

void TQuillonForm::loadHeaderPicture()
{
    QPixmap picture = PictureOverride(HeaderPictureFile);
    if (picture.isNull())
        picture = builtInHeaderPicture();
    m_header->setPixmap(picture);
}

QString TQuillonForm::selectedFieldName() const
{
    return m_fieldBox->currentIndex() < 0 ? QString() : m_fieldBox->currentData().toString();
}

void TQuillonForm::Search()
{
    guarded([this] {
        BusyCursor busy;
        m_status->clear();
        m_service->Search(selectedFieldName(), m_textEdit->text());
        selectFirstTitle();
    });
}

void TQuillonForm::ShowKeyboard()
{
    if (m_runProgram)
        m_runProgram(OnScreenKeyboard, QString());
}

void TQuillonForm::selectFirstTitle()
{
    m_titlesGrid->scrollToTop();
    if (m_titles->rowCount() == 0)
        return;
    const QModelIndex first = m_titles->index(0, 0);
    m_titlesGrid->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
}

void TQuillonForm::titleChanged(int row)
{
    guarded([this, row] { m_service->SelectTitle(row); });
}

void TQuillonForm::titlesReadFailed(const QString& message)
{
    // Pages are read while the grid paints, and the grid paints again under the box: one
    // box per search, not one per repaint.
    const quint64 search = m_service->BooksQuery()->generation();
    if (search == m_reportedSearch)
        return;
    m_reportedSearch = search;
    ShowError(message);
}

void TQuillonForm::showTitleCount(qint64 count)
{
    m_status->setText(FinderStatusText(count));
}

QList<int> TQuillonForm::characterWidths(const TFinderColumnsModel* model) const
{
    const int digit = m_titlesGrid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    QList<int> widths;
    for (const FinderColumn& column : model->columns())
        widths.append(column.width * digit + 4);
    return widths;
}

void TQuillonForm::applyColumnWidths(QTableView* grid, const QList<int>& widths)
{
    m_applyingWidths = true;
    QHeaderView* header = grid->horizontalHeader();
    for (int column = 0; column < widths.size() && column < header->count(); ++column)
        header->resizeSection(column, qMax(0, widths[column]));
    m_applyingWidths = false;
}

void TQuillonForm::keepColumnWidths(QTableView* grid, QList<int>& widths)
{
    // Every search reloads the grids, which gives their columns default widths again.
    connect(grid->model(), &QAbstractItemModel::modelReset, this,
            [this, grid, &widths] { applyColumnWidths(grid, widths); });
    // A column the reader dragged keeps its width across searches and later fits.
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this, &widths](int column, int, int size) {
        if (!m_applyingWidths && column < widths.size())
            widths[column] = size;
    });
    applyColumnWidths(grid, widths);
}

bool TQuillonForm::eventFilter(QObject* watched, QEvent* event)
{
    // The copies grid follows the window's width; fitting on its own resize sees the width
    // the layout has given it.
    if (watched == m_copiesGrid && event->type() == QEvent::Resize) {
        m_applyingWidths = true;
        FitColumnsToGrid(m_copiesGrid, m_copyWidths);
        m_applyingWidths = false;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TQuillonForm::guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (...) {
        TVelmoraApplication::HandleException(std::current_exception());
    }
}

QPixmap TQuillonForm::builtInHeaderPicture()
{
    const QSize size(760, HeaderHeight);
    QPixmap picture(size);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // An open book on a round emblem.
    const QRectF emblem(20, 14, 72, 72);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1d, 0x4e, 0x89));
    painter.drawEllipse(emblem);
    painter.setBrush(Qt::white);
    const QPointF spine(emblem.center().x(), emblem.top() + 22);
    for (int side : {-1, 1}) {
        QPainterPath page;
        page.moveTo(spine);
        page.cubicTo(spine + QPointF(side * 10, -6), spine + QPointF(side * 20, -6), spine + QPointF(side * 24, -2));
        page.lineTo(spine + QPointF(side * 24, 26));
        page.cubicTo(spine + QPointF(side * 20, 22), spine + QPointF(side * 10, 22), spine + QPointF(0, 28));
        page.closeSubpath();
        painter.drawPath(page);
    }

    QFont title = QGuiApplication::font();
    title.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    title.setPixelSize(34);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0x1d, 0x4e, 0x89));
    painter.drawText(QRect(110, 12, size.width() - 120, 48), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Aurel图书馆公共查询"));

    QFont subtitle = title;
    subtitle.setPixelSize(16);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.setPen(QColor(0x5f, 0x6b, 0x7a));
    painter.drawText(QRect(112, 60, size.width() - 120, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("馆藏书目检索 · 读者自助查询"));
    return picture;
}
