// The controls of the main window: its four pages, the progress group and
// the status bar.

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shared/settings.h"
#include "shell/app/designed_rows.h"
#include "shell/app/main_window.h"
#include "shell/app/startup_options.h"
#include "shell/ui/action_list.h"
#include "shell/ui/check_list_box.h"
#include "shell/ui/drop_targets.h"
#include "shell/ui/find_directory_frame.h"
#include "shell/ui/find_exec_frame.h"
#include "shell/ui/guard.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {
namespace {

template <typename W>
W* Named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QLabel* PanelLabel(QWidget* parent, const char* name) {
    auto* l = Named(new QLabel(parent), name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Raised);
    l->setMinimumHeight(20);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

// The contents of a page in a scroll area filling it: a page whose controls
// cannot shrink further scrolls instead of making the window larger than the
// screen (large fonts, a high scale factor). Gives the widget that takes the
// page's contents.
QWidget* ScrollingPage(QWidget* page, const char* name) {
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = Named(new QScrollArea(page), name);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* inner = new QWidget(scroll);
    inner->setObjectName(QString::fromUtf8(name) + "Contents");
    scroll->setWidget(inner);
    outer->addWidget(scroll);
    return inner;
}

}  // namespace

void TfrmKorvaneMain::buildLayout() {
    setObjectName("frmKorvaneMain");
    setWindowTitle(kDesignedCaption);
    resize(1144, 747);
    setMinimumSize(500, 680);

    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    PageControlMain = Named(new QTabWidget(central), "PageControlMain");
    PageControlMain->setUsesScrollButtons(false);
    PageControlMain->setDocumentMode(false);
    v->addWidget(PageControlMain, 1);

    buildNamesPage();
    buildTechPage();
    buildViewerPage();
    buildWordScanPage();
    // What the last run changed; the Changes feature fills it.
    TabSheetChanges = Named(new QWidget, "TabSheetChanges");
    PageControlMain->addTab(TabSheetChanges, "Changes");

    GroupBoxSlider = Named(new QGroupBox(central), "GroupBoxSlider");
    auto* sl = new QVBoxLayout(GroupBoxSlider);
    ProgressBarModules = Named(new QProgressBar(GroupBoxSlider), "ProgressBarModules");
    ProgressBarModules->setToolTip("Steps by modules processed");
    ProgressBarModules->setTextVisible(false);
    sl->addWidget(ProgressBarModules);
    GroupBoxSlider->hide();
    v->addWidget(GroupBoxSlider);
    setCentralWidget(central);

    MyStB = Named(new TMyStatusBar(this, &dialogs_), "MyStB");
    MyStB->setColorErr(QColor(255, 128, 128));
    MyStB->setColorWarn(QColor(88, 84, 250));
    QMainWindow::setStatusBar(MyStB);
}

void TfrmKorvaneMain::buildNamesPage() {
    TabSheetNames = Named(new QWidget, "TabSheetNames");
    PageControlMain->addTab(TabSheetNames, "Names and datasets");
    auto* h = new QHBoxLayout(ScrollingPage(TabSheetNames, "ScrollBoxNames"));
    h->setContentsMargins(2, 2, 2, 2);
    SplitterNames = Named(new QSplitter(Qt::Horizontal, TabSheetNames), "SplitterNames");
    SplitterNames->setHandleWidth(3);
    SplitterNames->setChildrenCollapsible(false);
    h->addWidget(SplitterNames);

    PanelBozomek = Named(new QWidget(SplitterNames), "PanelBozomek");
    PanelBozomek->setMinimumSize(296, 360);
    auto* left = new QVBoxLayout(PanelBozomek);
    left->setContentsMargins(0, 0, 0, 0);

    GroupBoxLanguage = Named(new QGroupBox("Source program language", PanelBozomek), "GroupBoxLanguage");
    auto* lg = new QGridLayout(GroupBoxLanguage);
    auto radio = [&](QRadioButton*& field, const char* name, const char* caption, int row, int col) {
        field = Named(new QRadioButton(caption, GroupBoxLanguage), name);
        field->setEnabled(false);
        lg->addWidget(field, row, col);
    };
    radio(RadioButtonPLI, "RadioButtonPLI", "PL/I", 0, 0);
    radio(RadioButtonASM, "RadioButtonASM", "Assembler", 0, 1);
    radio(RadioButtonCOB_COB74, "RadioButtonCOB_COB74", "Cobol 74", 1, 0);
    radio(RadioButtonCPP_CPP, "RadioButtonCPP_CPP", "C++", 1, 1);
    radio(RadioButtonCOB_COB85, "RadioButtonCOB_COB85", "Cobol 85", 2, 0);
    radio(RadioButtonCPP_C, "RadioButtonCPP_C", "C", 2, 1);
    radio(RadioButtonCSS, "RadioButtonCSS", "C#", 3, 0);
    radio(RadioButtonJAV, "RadioButtonJAV", "Java", 3, 1);
    left->addWidget(GroupBoxLanguage);

    GroupBoxNames = Named(new QGroupBox("Names", PanelBozomek), "GroupBoxNames");
    auto* ng = new QGridLayout(GroupBoxNames);
    EditProductName = Named(new QLineEdit(GroupBoxNames), "EditProductName");
    EditSystemName = Named(new QLineEdit(GroupBoxNames), "EditSystemName");
    EditProductName->setMaxLength(8);
    EditSystemName->setMaxLength(8);
    auto* lp = Named(new QLabel("Product name", GroupBoxNames), "LabelProductName");
    auto* ls = Named(new QLabel("System name", GroupBoxNames), "LabelSystemName");
    lp->setBuddy(EditProductName);
    ls->setBuddy(EditSystemName);
    ng->addWidget(lp, 0, 0);
    ng->addWidget(EditProductName, 0, 1);
    ng->addWidget(ls, 1, 0);
    ng->addWidget(EditSystemName, 1, 1);
    left->addWidget(GroupBoxNames);

    GroupBoxExtras = Named(new QGroupBox("Available transformations", PanelBozomek), "GroupBoxExtras");
    extrasLayout = new QVBoxLayout(GroupBoxExtras);
    extrasLayout->setSpacing(0);
    extrasLayout->setContentsMargins(6, 4, 6, 4);
    for (const DesignedRow& row : kDesignedRows) {
        QCheckBox* box = createTransformationRow(row.name);
        box->setText(row.caption);
        box->setToolTip(row.caption);
        box->setProperty("Hint", QString::fromUtf8(row.caption));
    }
    CheckBoxCopyAdd = transformationBox("CheckBoxCopyAdd");
    CheckBoxRealign = transformationBox("CheckBoxRealign");
    CheckBoxRefine = transformationBox("CheckBoxRefine");
    CheckBoxRenameVariables = transformationBox("CheckBoxRenameVariables");
    CheckBoxRemoveComp = transformationBox("CheckBoxRemoveComp");
    CheckBoxReplaceNumericConstants = transformationBox("CheckBoxReplaceNumericConstants");
    CheckBoxReplaceLiterals = transformationBox("CheckBoxReplaceLiterals");
    CheckBoxRelocateFiles = transformationBox("CheckBoxRelocateFiles");
    CheckBoxRelocateDB = transformationBox("CheckBoxRelocateDB");
    CheckBoxRelocateTP = transformationBox("CheckBoxRelocateTP");
    CheckBoxRestructure = transformationBox("CheckBoxRestructure");
    CheckBoxRefactorNestedBlocks = transformationBox("CheckBoxRefactorNestedBlocks");
    CheckBoxRealign->setChecked(true);
    CheckBoxRealign->setEnabled(false);
    {
        QWidget* panel = CheckBoxRefactorNestedBlocks->parentWidget();
        auto* row = static_cast<QHBoxLayout*>(panel->layout());
        row->addStretch(1);
        row->addWidget(Named(new QLabel("Refactor level", panel), "LabelRefactorLevel"));
        ComboBoxRefactorLevel = Named(new QComboBox(panel), "ComboBoxRefactorLevel");
        for (int i = 1; i <= kRefactorLevelCount; ++i) ComboBoxRefactorLevel->addItem(QString::number(i));
        ComboBoxRefactorLevel->setEditable(false);
        row->addWidget(ComboBoxRefactorLevel);
    }
    left->addWidget(GroupBoxExtras);

    GroupBoxDataSets = Named(new QGroupBox("Data set definitions", PanelBozomek), "GroupBoxDataSets");
    auto* dg = new QVBoxLayout(GroupBoxDataSets);
    FrameFindDirectoryOutputDir =
        Named(new TFrameFindDirectory(dialogs_, GroupBoxDataSets), "FrameFindDirectoryOutputDir");
    FrameFindDirectoryOutputDir->LabelCaption->setText("Output directory");
    dg->addWidget(FrameFindDirectoryOutputDir);
    left->addWidget(GroupBoxDataSets);

    MemoNewFileNames = Named(new QPlainTextEdit(PanelBozomek), "MemoNewFileNames");
    MemoNewFileNames->setReadOnly(true);
    MemoNewFileNames->setLineWrapMode(QPlainTextEdit::NoWrap);
    left->addWidget(MemoNewFileNames, 1);
    left->addStretch(0);

    PanelLibraries = Named(new QWidget(SplitterNames), "PanelLibraries");
    PanelLibraries->setMinimumSize(350, 360);
    buildLibraryPanel(PanelLibraries);
    SplitterNames->setStretchFactor(0, 0);
    SplitterNames->setStretchFactor(1, 1);
    PanelLibraries->installEventFilter(this);
}

void TfrmKorvaneMain::buildLibraryPanel(QWidget* parent) {
    auto* v = new QVBoxLayout(parent);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    Panel3 = Named(new QWidget(parent), "Panel3");
    Panel3->setMinimumHeight(30);
    v->addWidget(Panel3);

    QStyle* st = style();
    int order = 0;
    auto tagged = [&](auto*& field, const char* name, int tag, QStyle::StandardPixmap icon) {
        using T = std::remove_reference_t<decltype(*field)>;
        field = Named(new T(Panel3), name);
        field->setProperty("Tag", tag);
        field->setProperty("TabOrder", order++);
        field->setIcon(st->standardIcon(icon));
    };
    tagged(SpeedButtonAddFiles, "SpeedButtonAddFiles", 1, QStyle::SP_FileIcon);
    tagged(SpeedButtonAdddManyFiles, "SpeedButtonAdddManyFiles", 1, QStyle::SP_DirIcon);
    tagged(BitBtnWM_DropAddCopies, "BitBtnWM_DropAddCopies", 2, QStyle::SP_FileDialogNewFolder);
    tagged(BitBtnWM_DropAddManyCopies, "BitBtnWM_DropAddManyCopies", 2, QStyle::SP_DirOpenIcon);
    tagged(BitBtnWM_DropCSVForRename, "BitBtnWM_DropCSVForRename", 2, QStyle::SP_FileDialogDetailedView);
    tagged(BitBtnStartScan, "BitBtnStartScan", 4, QStyle::SP_FileDialogContentsView);
    tagged(BitBtnStartConversion, "BitBtnStartConversion", 4, QStyle::SP_MediaPlay);
    tagged(BitBtnCancelRun, "BitBtnCancelRun", 4, QStyle::SP_BrowserStop);

    PageControlFileCollect = Named(new QTabWidget(parent), "PageControlFileCollect");
    v->addWidget(PageControlFileCollect, 1);

    TabSheetSelectedFiles = Named(new QWidget, "TabSheetSelectedFiles");
    PageControlFileCollect->addTab(TabSheetSelectedFiles, "Files selected for Vorl");
    {
        auto* l = new QVBoxLayout(TabSheetSelectedFiles);
        l->setContentsMargins(0, 0, 0, 0);
        GroupBoxSelectedFiles = Named(new QGroupBox(TabSheetSelectedFiles), "GroupBoxSelectedFiles");
        l->addWidget(GroupBoxSelectedFiles);
        auto* g = new QVBoxLayout(GroupBoxSelectedFiles);
        g->setContentsMargins(2, 2, 2, 2);
        PanelCommonRoot = PanelLabel(GroupBoxSelectedFiles, "PanelCommonRoot");
        PanelCommonRoot->setToolTip("You can control the processing of you selected files by checking/unchecking them");
        g->addWidget(PanelCommonRoot);
        CheckListBoxSelectedFiles = Named(new CheckListBox(GroupBoxSelectedFiles), "CheckListBoxSelectedFiles");
        g->addWidget(CheckListBoxSelectedFiles, 1);
    }
    TabSheetCSVForRename = Named(new QWidget, "TabSheetCSVForRename");
    PageControlFileCollect->addTab(TabSheetCSVForRename, "CSV files containing rename directives");
    {
        auto* l = new QVBoxLayout(TabSheetCSVForRename);
        l->setContentsMargins(0, 0, 0, 0);
        PanelWM_DropCSVForRename = Named(new TPanelWM_Drop(TabSheetCSVForRename), "PanelWM_DropCSVForRename");
        l->addWidget(PanelWM_DropCSVForRename);
        auto* g = new QVBoxLayout(PanelWM_DropCSVForRename);
        g->setContentsMargins(2, 2, 2, 2);
        PanelCSVForRename = PanelLabel(PanelWM_DropCSVForRename, "PanelCSVForRename");
        g->addWidget(PanelCSVForRename);
        CheckListBoxCSVForRename = Named(new CheckListBox(PanelWM_DropCSVForRename), "CheckListBoxCSVForRename");
        g->addWidget(CheckListBoxCSVForRename, 1);
    }
    TabSheetCopyCollection = Named(new QWidget, "TabSheetCopyCollection");
    PageControlFileCollect->addTab(TabSheetCopyCollection, "Copy members to be inserted");
    {
        auto* l = new QVBoxLayout(TabSheetCopyCollection);
        l->setContentsMargins(0, 0, 0, 0);
        PanelWM_DropCopyCollection =
            Named(new TPanelWM_Drop(TabSheetCopyCollection), "PanelWM_DropCopyCollection");
        l->addWidget(PanelWM_DropCopyCollection);
        auto* g = new QVBoxLayout(PanelWM_DropCopyCollection);
        g->setContentsMargins(2, 2, 2, 2);
        PanelCopyCollection = PanelLabel(PanelWM_DropCopyCollection, "PanelCopyCollection");
        g->addWidget(PanelCopyCollection);
        CheckListBoxCopyCollection =
            Named(new CheckListBox(PanelWM_DropCopyCollection), "CheckListBoxCopyCollection");
        g->addWidget(CheckListBoxCopyCollection, 1);
    }
}

void TfrmKorvaneMain::buildTechPage() {
    TabSheetTech = Named(new QWidget, "TabSheetTech");
    PageControlMain->addTab(TabSheetTech, "Technical parameters");
    auto* h = new QHBoxLayout(ScrollingPage(TabSheetTech, "ScrollBoxTech"));
    GroupBoxExternalPrograms =
        Named(new QGroupBox("External program definitions", TabSheetTech), "GroupBoxExternalPrograms");
    pickersLayout = new QVBoxLayout(GroupBoxExternalPrograms);
    pickersLayout->setSpacing(2);
    pickersLayout->addStretch(1);
    h->addWidget(GroupBoxExternalPrograms, 1);

    FrameFindexecEditorGeneral = createPicker("FrameFindexecEditorGeneral", "External editor && viewer");
    FrameFindexecScanner = createPicker("FrameFindexecScanner", "Scanner program");
    FrameFindexecFunctab = createPicker("FrameFindexecFunctab", "Default function table");
    stepPickers.clear();  // the three fixed pickers are not step pickers
    FrameFindexecEditorGeneral->DefaultName = "Notepad.Exe";
    // The scanner and the function table start empty, so that applying a
    // language gives them their defaults.
    FrameFindexecScanner->SetFieldText("");
    FrameFindexecFunctab->SetFieldText("");

    auto* right = new QVBoxLayout;
    MemoToolDefaultValues = Named(new QPlainTextEdit(TabSheetTech), "MemoToolDefaultValues");
    MemoToolDefaultValues->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoToolDefaultValues->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    right->addWidget(MemoToolDefaultValues, 1);
    auto* buttons = new QHBoxLayout;
    ButtonWriteINIFile = Named(new QPushButton(TabSheetTech), "ButtonWriteINIFile");
    ButtonWriteINIFile->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ButtonApplyIni = Named(new QPushButton(TabSheetTech), "ButtonApplyIni");
    ButtonApplyIni->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    buttons->addWidget(ButtonWriteINIFile);
    buttons->addWidget(ButtonApplyIni);
    buttons->addSpacing(12);
    SpinEditParallelJobs = Named(new QSpinBox(TabSheetTech), "SpinEditParallelJobs");
    SpinEditParallelJobs->setRange(1, kMaxParallelJobs);
    SpinEditParallelJobs->setValue(1);
    SpinEditParallelJobs->setToolTip(
        "Jobs a run may split the checked sources into, run side by side; applies to the file-local steps at "
        "the head of the chain (FileLocal in the tool settings), the rest runs as one job");
    auto* jobsLabel = Named(new QLabel("Parallel jobs", TabSheetTech), "LabelParallelJobs");
    jobsLabel->setBuddy(SpinEditParallelJobs);
    buttons->addWidget(jobsLabel);
    buttons->addWidget(SpinEditParallelJobs);
    buttons->addStretch(1);
    // Kept per user once the store is open (first show); read there.
    connect(SpinEditParallelJobs, &QSpinBox::valueChanged, this, [this](int jobs) {
        if (firstShowDone_) RunGuarded([jobs] { WriteSettingInt(kParallelJobsSetting, jobs); });
    });
    right->addLayout(buttons);
    h->addLayout(right, 1);
}

void TfrmKorvaneMain::buildViewerPage() {
    TabSheetViewer = Named(new QWidget, "TabSheetViewer");
    PageControlMain->addTab(TabSheetViewer, "Internal viewer");
    auto* v = new QVBoxLayout(TabSheetViewer);
    v->setContentsMargins(0, 0, 0, 0);
    PageControlEditor = Named(new QTabWidget(TabSheetViewer), "PageControlEditor");
    v->addWidget(PageControlEditor);
}

void TfrmKorvaneMain::buildWordScanPage() {
    TabSheetWordScan = Named(new QWidget, "TabSheetWordScan");
    PageControlMain->addTab(TabSheetWordScan, "Edit macro table");
    auto* v = new QVBoxLayout(ScrollingPage(TabSheetWordScan, "ScrollBoxWordScan"));
    auto* row = new QHBoxLayout;
    auto button = [&](QPushButton*& field, const char* name, QStyle::StandardPixmap icon) {
        field = Named(new QPushButton(TabSheetWordScan), name);
        field->setIcon(style()->standardIcon(icon));
        row->addWidget(field);
    };
    button(ButtonLoadWordList, "ButtonLoadWordList", QStyle::SP_DialogOpenButton);
    button(ButtonSaveWordList, "ButtonSaveWordList", QStyle::SP_DialogSaveButton);
    button(ButtonStartScan, "ButtonStartScan", QStyle::SP_FileDialogContentsView);
    button(ButtonStartConversion, "ButtonStartConversion", QStyle::SP_MediaPlay);
    row->addStretch(1);
    v->addLayout(row);

    PageControlWordLists = Named(new QTabWidget(TabSheetWordScan), "PageControlWordLists");
    v->addWidget(PageControlWordLists, 1);

    TabSheetObjects = Named(new QWidget, "TabSheetObjects");
    PageControlWordLists->addTab(TabSheetObjects, "Objects");
    {
        auto* l = new QVBoxLayout(TabSheetObjects);
        CheckListBoxObjects = Named(new CheckListBox(TabSheetObjects), "CheckListBoxObjects");
        l->addWidget(CheckListBoxObjects, 1);
        EditObjects = Named(new QLineEdit(CheckListBoxObjects->viewport()), "EditObjects");
        EditObjects->hide();
    }
    TabSheetControlWords = Named(new QWidget, "TabSheetControlWords");
    PageControlWordLists->addTab(TabSheetControlWords, "Control Words");
    {
        auto* l = new QVBoxLayout(TabSheetControlWords);
        auto* top = new QHBoxLayout;
        EditCreateWrdList = Named(new QLineEdit(TabSheetControlWords), "EditCreateWrdList");
        ComboBoxCreateWrdList = Named(new QComboBox(TabSheetControlWords), "ComboBoxCreateWrdList");
        ComboBoxCreateWrdList->setEditable(true);
        ButtonCreateWrdList = Named(new QPushButton("Add to list", TabSheetControlWords), "ButtonCreateWrdList");
        top->addWidget(EditCreateWrdList, 1);
        top->addWidget(ComboBoxCreateWrdList);
        top->addWidget(ButtonCreateWrdList);
        l->addLayout(top);
        auto* split = Named(new QSplitter(Qt::Vertical, TabSheetControlWords), "SplitterCTLWords");
        RichEditCTLWords = Named(new QPlainTextEdit(split), "RichEditCTLWords");
        RichEditCTLWords->setReadOnly(true);
        RichEditCTLWords->setLineWrapMode(QPlainTextEdit::NoWrap);
        RichEditCTLWords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        CheckListBoxControlTags = Named(new CheckListBox(split), "CheckListBoxControlTags");
        l->addWidget(split, 1);

        PanelCWrd = Named(new QFrame(CheckListBoxControlTags->viewport()), "PanelCWrd");
        auto* pl = new QHBoxLayout(PanelCWrd);
        pl->setContentsMargins(0, 0, 0, 0);
        pl->setSpacing(2);
        ComboBoxEditCWrd = Named(new QComboBox(PanelCWrd), "ComboBoxEditCWrd");
        ComboBoxEditCWrd->setEditable(true);
        EditCWrd = Named(new QLineEdit(PanelCWrd), "EditCWrd");
        pl->addWidget(ComboBoxEditCWrd);
        pl->addWidget(EditCWrd, 1);
        PanelCWrd->hide();
    }
    // The "Objects" tab stays hidden from creation on.
    setTabVisible(PageControlWordLists, TabSheetObjects, false);
    PageControlWordLists->setCurrentWidget(TabSheetControlWords);
}

QCheckBox* TfrmKorvaneMain::createTransformationRow(const std::string& stepName) {
    auto* panel = new QWidget(GroupBoxExtras);
    panel->setObjectName(QString::fromUtf8("Panel" + stepName));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto* box = new QCheckBox(panel);
    box->setObjectName(QString::fromUtf8("CheckBox" + stepName));
    row->addWidget(box);
    extrasLayout->addWidget(panel);
    transformationBoxes.push_back(box);
    registerComponent(box, "TCheckBox");
    return box;
}

QCheckBox* TfrmKorvaneMain::transformationBox(const std::string& objectName) const {
    for (QCheckBox* b : transformationBoxes)
        if (b->objectName().toUtf8().toStdString() == objectName) return b;
    return nullptr;
}

TFrameFindexec* TfrmKorvaneMain::createPicker(const std::string& objectName, const std::string& label) {
    auto* frame = new TFrameFindexec(dialogs_, GroupBoxExternalPrograms);
    frame->setObjectName(QString::fromUtf8(objectName));
    // "&&" in a caption shows one "&".
    frame->LabelFindExec->setText(QString::fromUtf8(label).replace("&&", "&"));
    if (MyStB) frame->SetStatusBar(MyStB);
    // Below the pickers already there, above the closing stretch.
    pickersLayout->insertWidget(pickersLayout->count() - 1, frame);
    stepPickers.push_back(frame);
    registerComponent(frame, "TFrameFindexec");
    return frame;
}

TFrameFindexec* TfrmKorvaneMain::picker(const std::string& objectName) const {
    for (TFrameFindexec* f : {FrameFindexecEditorGeneral, FrameFindexecScanner, FrameFindexecFunctab})
        if (f && f->objectName().toUtf8().toStdString() == objectName) return f;
    for (TFrameFindexec* f : stepPickers)
        if (f->objectName().toUtf8().toStdString() == objectName) return f;
    return nullptr;
}

std::vector<QRadioButton*> TfrmKorvaneMain::languageButtons() const {
    return {RadioButtonPLI,       RadioButtonASM,  RadioButtonCOB_COB74, RadioButtonCPP_CPP,
            RadioButtonCOB_COB85, RadioButtonCPP_C, RadioButtonCSS,       RadioButtonJAV};
}

QRadioButton* TfrmKorvaneMain::languageButton(const std::string& suffix) const {
    QString name = QString::fromUtf8("RadioButton" + suffix);
    for (QRadioButton* b : languageButtons())
        if (b->objectName().compare(name, Qt::CaseInsensitive) == 0) return b;
    return nullptr;
}

}  // namespace korvane
