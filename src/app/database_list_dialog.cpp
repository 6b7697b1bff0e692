#include "app/database_list_dialog.h"

#include "app/store_file_dialog.h"
#include "results/save_dialog.h"
#include "support/app_error.h"
#include "support/codec_1251.h"
#include "support/files.h"
#include "widgets/messages.h"
#include "widgets/grid_file.h"
#include "widgets/grid_utils.h"
#include "support/str_utils.h"
#include "widgets/string_grid.h"

#include "widgets/widget_utils.h"
#include "widgets/window_memory.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>
#include <QToolButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace {

constexpr int kPathColumn = 2; // "Полный путь к GDB-файлу"

QFrame *panel(QWidget *parent, int height)
{
    auto *p = new QFrame(parent);
    p->setFixedHeight(height);
    return p;
}

} // namespace

TDlg_LocalList_DB::TDlg_LocalList_DB(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Dlg_LocalList_DB"));
    setWindowTitle(QStringLiteral("Список доступных баз данных"));
    resize(560, 366);
    RememberWindow(this);

    auto *top = panel(this, 25);
    Label1 = new QLabel(QStringLiteral("Файл, где список : "), top);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit_fnLocalList = new QLineEdit(top);
    Edit_fnLocalList->setObjectName(QStringLiteral("Edit_fnLocalList"));
    Edit_fnLocalList->setReadOnly(true);
    Edit_fnLocalList->setFocusPolicy(Qt::ClickFocus);
    Edit_fnLocalList->setStyleSheet(QStringLiteral("QLineEdit { background: silver; }"));
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(4, 1, 4, 1);
    topLayout->addWidget(Label1);
    topLayout->addWidget(Edit_fnLocalList, 1);

    SG_DB = new StringGrid(this);
    SG_DB->setObjectName(QStringLiteral("SG_DB"));
    SG_DB->setDefaultRowHeight(18);
    SG_DB->setToolTip(QStringLiteral("Правая кнопка мыши - меню ..."));
    SG_DB->setStyleSheet(QStringLiteral("QTableView { background: white; }"));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto addItem = [this](const char *name, const QString &caption, void (TDlg_LocalList_DB::*slot)()) {
        QAction *a = caption == QLatin1String("-") ? PopupMenu1->addSeparator() : PopupMenu1->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        if (slot)
            connect(a, &QAction::triggered, this, slot);
    };
    addItem("N7", QStringLiteral("Выровнять колонки по ширине"), &TDlg_LocalList_DB::N7Click);
    addItem("N6", QStringLiteral("-"), nullptr);
    addItem("N1", QStringLiteral("Добавить строку"), &TDlg_LocalList_DB::N1Click);
    addItem("N4", QStringLiteral("-"), nullptr);
    addItem("N5", QStringLiteral("Вставить строку"), &TDlg_LocalList_DB::N5Click);
    addItem("N2", QStringLiteral("-"), nullptr);
    addItem("N3", QStringLiteral("Удалить строку"), &TDlg_LocalList_DB::N3Click);
    SG_DB->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SG_DB, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (editMode_)
            PopupMenu1->exec(SG_DB->viewport()->mapToGlobal(pos));
    });
    // In choose mode a double click on a row chooses it.
    connect(SG_DB, &StringGrid::cellDoubleClicked, this, [this](int, int row) {
        if (!editMode_ && row >= 0)
            accept();
    });

    browseButton = new QToolButton(SG_DB->viewport());
    browseButton->setObjectName(QStringLiteral("browseButton"));
    browseButton->setText(QStringLiteral("..."));
    browseButton->setToolTip(QStringLiteral("Выбрать файл базы данных ..."));
    browseButton->setCursor(Qt::ArrowCursor);
    browseButton->hide();
    connect(browseButton, &QToolButton::clicked, this, [this] { ReportingErrors([this] { browseForStore(); }); });
    connect(SG_DB, &StringGrid::currentCellChanged, this, &TDlg_LocalList_DB::placeBrowseButton);
    connect(SG_DB->horizontalHeader(), &QHeaderView::sectionResized, this, &TDlg_LocalList_DB::placeBrowseButton);
    connect(SG_DB->verticalHeader(), &QHeaderView::sectionResized, this, &TDlg_LocalList_DB::placeBrowseButton);
    connect(SG_DB->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TDlg_LocalList_DB::placeBrowseButton);
    connect(SG_DB->verticalScrollBar(), &QScrollBar::valueChanged, this, &TDlg_LocalList_DB::placeBrowseButton);
    SG_DB->viewport()->installEventFilter(this);

    auto *bottom = panel(this, 25);
    MakeOkCancelStrip(this, bottom, OKBtn, CancelBtn)->setContentsMargins(4, 0, 4, 0);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(SG_DB, 1);
    layout->addWidget(bottom);
}

void TDlg_LocalList_DB::fitColumns()
{
    GridFitColumns(SG_DB);
}

bool TDlg_LocalList_DB::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == SG_DB->viewport() && event->type() == QEvent::Resize)
        placeBrowseButton();
    return QDialog::eventFilter(watched, event);
}

void TDlg_LocalList_DB::placeBrowseButton()
{
    const int col = SG_DB->currentCol();
    const int row = SG_DB->currentRow();
    if (!editMode_ || col != kPathColumn || row < SG_DB->fixedRows()) {
        browseButton->hide();
        return;
    }
    // Beyond the viewport's edge the button is cut off with the cell.
    const QRect cell = SG_DB->visualRect(SG_DB->model()->index(row, col));
    if (!cell.isValid()) {
        browseButton->hide();
        return;
    }
    const int side = cell.height();
    browseButton->setGeometry(cell.right() - side + 1, cell.top(), side, side);
    browseButton->show();
    browseButton->raise();
}

void TDlg_LocalList_DB::browseForStore()
{
    const int row = SG_DB->currentRow();
    if (!editMode_ || row < SG_DB->fixedRows())
        return;
    // A cell being edited keeps what was typed before the file is chosen.
    SG_DB->setFocus();
    const QString typed = Trim(SG_DB->cell(kPathColumn, row));
    const QString file = AskStoreFile(this, StoreFileStartFolder(typed, DialogStartFolder()));
    if (file.isEmpty())
        return;
    if (!Cp1251::canEncode(file)) {
        ShowInfo(UnstorablePathMessage(file), this);
        return;
    }
    SG_DB->setCell(kPathColumn, row, file);
    if (Trim(SG_DB->cell(0, row)).isEmpty())
        SG_DB->setCell(0, row, QFileInfo(file).fileName());
    SG_DB->setCurrentCell(kPathColumn, row);
}

void TDlg_LocalList_DB::N7Click()
{
    fitColumns();
}

void TDlg_LocalList_DB::N1Click()
{
    GridAddRow(SG_DB, true);
}

void TDlg_LocalList_DB::N5Click()
{
    GridInsertRow(SG_DB, SG_DB->currentRow());
}

void TDlg_LocalList_DB::N3Click()
{
    GridDeleteRow(SG_DB, SG_DB->currentRow());
}

bool TDlg_LocalList_DB::ShowDatabaseList(bool editMode)
{
    const QString fileName = Trim(Edit_fnLocalList->text());
    Edit_fnLocalList->setText(fileName);
    editMode_ = editMode;
    SG_DB->setEditable(editMode);
    browseButton->hide();

    SG_DB->setColCount(5);
    SG_DB->setRowCount(2);
    SG_DB->setFixedCols(0);
    SG_DB->setFixedRows(1);
    SG_DB->clearRow(0);
    SG_DB->clearRow(1);
    SG_DB->setRowTexts(0, DatabaseListHeaders());
    unreadable_ = !fileName.isEmpty() && FileExists(fileName) && !GridLoadFromFile(SG_DB, fileName);
    fitColumns();
    SG_DB->setCurrentCell(0, SG_DB->fixedRows());
    if (unreadable_)
        ShowInfo(UnreadableListMessage(fileName, editMode));

    if (exec() != QDialog::Accepted)
        return false;
    if (editMode)
        return saveList(fileName);
    const int r = SG_DB->currentRow();
    return r > 0 && (!Trim(SG_DB->cell(1, r)).isEmpty() || !Trim(SG_DB->cell(2, r)).isEmpty());
}

bool TDlg_LocalList_DB::saveList(const QString &fileName)
{
    if (fileName.isEmpty() || !IsDriveWritable(fileName))
        return false;
    // The file that could not be read may still be the user's only copy of
    // the list: it is kept beside the new one before anything is written.
    QString kept;
    if (unreadable_ && FileExists(fileName)) {
        kept = UniqueFileName(fileName + QStringLiteral(".bak"));
        if (!QFile::copy(fileName, kept))
            throw AppError(QStringLiteral("Cannot create file \"%1\".").arg(kept));
    }
    const bool saved = GridSaveToFile(SG_DB, fileName, true);
    if (!kept.isEmpty())
        ShowInfo(QStringLiteral("Прежний файл списка баз данных сохранён под именем \"%1\".").arg(kept));
    return saved;
}

void TDlg_LocalList_DB::done(int result)
{
    // A cell the list file cannot hold would move or lose the cells below it
    // when the list is read again: the list is not saved, the dialog stays.
    if (result == QDialog::Accepted && editMode_) {
        const QStringList headers = DatabaseListHeaders();
        for (int r = SG_DB->fixedRows(); r < SG_DB->rowCount(); ++r) {
            for (int c = 0; c < SG_DB->colCount(); ++c) {
                if (!Cp1251::canEncode(SG_DB->cell(c, r))) {
                    SG_DB->setCurrentCell(c, r);
                    ShowInfo(UnstorablePathMessage(SG_DB->cell(c, r)), this);
                    return;
                }
                if (IsStorableGridCell(SG_DB->cell(c, r)))
                    continue;
                SG_DB->setCurrentCell(c, r);
                ShowInfo(QStringLiteral("Строка %1, колонка \"%2\": текст не может содержать перевод строки "
                                        "или начинаться с \"[~~-^v-~COL_\". Исправьте его - список не сохранён.")
                             .arg(r)
                             .arg(c < headers.size() ? headers[c] : QString::number(c + 1)),
                         this);
                return;
            }
        }
    }
    QDialog::done(result);
}

QString UnstorablePathMessage(const QString &text)
{
    return QStringLiteral("\"%1\": в тексте есть знаки, которых нет в кодировке Windows-1251, а в ней хранится "
                          "список баз данных - в списке этот текст сохранить нельзя. Такую базу данных можно "
                          "открыть на время работы через \"База данных\" / \"Открыть файл базы данных ...\"; "
                          "чтобы она была в списке, дайте файлу и папкам имена из русских или латинских букв.")
        .arg(text);
}

QString UnreadableListMessage(const QString &fileName, bool editMode)
{
    QString text = QStringLiteral("Файл списка баз данных \"%1\" не прочитан: он повреждён или не является "
                                  "списком баз данных. Список показан пустым.")
                       .arg(fileName);
    if (editMode)
        text += QStringLiteral(" При сохранении прежний файл будет оставлен рядом под новым именем.");
    return text;
}

bool EditDatabaseList(const QString &fileName)
{
    auto dialog = std::make_unique<TDlg_LocalList_DB>();
    dialog->Edit_fnLocalList->setText(Trim(fileName));
    return dialog->ShowDatabaseList(true);
}

bool ChooseDatabaseEntry(const QString &fileName, DatabaseEntry &chosen)
{
    chosen = DatabaseEntry();
    auto dialog = std::make_unique<TDlg_LocalList_DB>();
    dialog->Edit_fnLocalList->setText(Trim(fileName));
    if (!dialog->ShowDatabaseList(false))
        return false;
    chosen = DatabaseEntryFromRow(dialog->SG_DB->rowTexts(dialog->SG_DB->currentRow()));
    return true;
}
