#include "shell/ui/about_box.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>

#include "shared/text.h"
#include "shared/version_info.h"
#include "shell/ui/guard.h"
#include "shell/ui/ui_resources.h"

namespace korvane {

namespace {

const QColor kFormColour(252, 242, 186);
const QColor kTitlePanelColour(253, 247, 210);
const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);
constexpr int kMargin = 10;

void SetBackground(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

QFont MakeFont(const QString& family, int points, bool bold, bool italic) {
    QFont f(family, points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QLabel* InfoLabel(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return label;
}

}  // namespace

QString FormatBuildTime(const QLocale& locale, const QDateTime& time) {
    return locale.toString(time, QStringLiteral("yyyy MMMM dd,dddd HH:mm:ss"));
}

AboutSources AboutSources::Program() {
    AboutSources s;
    s.versionString = [](const std::string& name) { return VersionInfoString(name); };
    s.buildTime = [] { return ProgramFileTime(); };
    return s;
}

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    InitUiResources();
    setObjectName(QStringLiteral("frmAbout"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    SetBackground(this, kFormColour);
    setWindowTitle(QString());

    pnlPgmTitle = new QFrame(this);
    pnlPgmTitle->setObjectName(QStringLiteral("pnlPgmTitle"));
    pnlPgmTitle->setFrameStyle(QFrame::Panel | QFrame::Raised);
    SetBackground(pnlPgmTitle, kTitlePanelColour);
    lblPgmTitle = new QLabel(QStringLiteral("Program title"), pnlPgmTitle);
    lblPgmTitle->setObjectName(QStringLiteral("lblPgmTitle"));
    lblPgmTitle->setAlignment(Qt::AlignCenter);
    lblPgmTitle->setFont(MakeFont(font().family(), 12, true, false));
    SetTextColour(lblPgmTitle, kNavy);

    pnlTalmek = new QFrame(this);
    pnlTalmek->setObjectName(QStringLiteral("pnlTalmek"));
    pnlTalmek->setFrameStyle(QFrame::Panel | QFrame::Raised);
    SetBackground(pnlTalmek, Qt::white);
    lblCreatedBy = new QLabel(QStringLiteral("Created by: "), pnlTalmek);
    lblCreatedBy->setObjectName(QStringLiteral("lblCreatedBy"));
    lblCreatedBy->setFont(MakeFont(QStringLiteral("Arial"), 14, true, true));
    SetTextColour(lblCreatedBy, kMaroon);
    imgTalmek = new QLabel(pnlTalmek);
    imgTalmek->setObjectName(QStringLiteral("imgTalmek"));
    imgTalmek->setPixmap(QPixmap(QString::fromLatin1(kMakerLogoResource)));
    imgTalmek->setFixedSize(48, 48);
    lblTalmek = new QLabel(QStringLiteral("Talmek"), pnlTalmek);
    lblTalmek->setObjectName(QStringLiteral("lblTalmek"));
    lblTalmek->setFont(MakeFont(QStringLiteral("Arial"), 12, true, true));
    SetTextColour(lblTalmek, kMaroon);

    lblFileDesc = InfoLabel(this, "lblFileDesc", "File description");
    lblCopyright = InfoLabel(this, "lblCopyright", "Copyright");
    lblProdver = InfoLabel(this, "lblProdver", "Product Version: ");
    lblFileVer = InfoLabel(this, "lblFileVer", "File Version: ");
    lblBuildDateTime = InfoLabel(this, "lblBuildDateTime", "Built on: ");

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->document()->setDocumentMargin(0);
    QPalette memoPal = Memo1->palette();
    memoPal.setColor(QPalette::Base, kFormColour);
    Memo1->setPalette(memoPal);
    Memo1->hide();

    ArrangeControls();
}

void TfrmAbout::FillVersionInfo(const AboutSources& sources) {
    if (!sources.versionString) return;
    const std::string desc = sources.versionString("FileDescription");
    const std::string fileVer = sources.versionString("FileVersion");
    const std::string product = sources.versionString("ProductName");
    const std::string copyright = sources.versionString("LegalCopyright");
    const std::string prodVer = sources.versionString("ProductVersion");
    // A program without version information keeps the design texts.
    if (desc.empty() && fileVer.empty() && product.empty() && copyright.empty() && prodVer.empty()) return;
    lblFileDesc->setText(QString::fromUtf8(desc));
    lblFileVer->setText(QStringLiteral("File Version: ") + QString::fromUtf8(fileVer));
    lblPgmTitle->setText(QString::fromUtf8(product));
    lblCopyright->setText(QString::fromUtf8(copyright));
    lblProdver->setText(QStringLiteral("Product Version: ") + QString::fromUtf8(prodVer));
    const std::time_t built = sources.buildTime ? sources.buildTime() : std::time_t(-1);
    if (built != std::time_t(-1)) {
        const QDateTime time = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(built));
        lblBuildDateTime->setText(QStringLiteral("Built on: ") + FormatBuildTime(sources.locale, time));
    }
    ArrangeControls();
}

void TfrmAbout::SetMemoContent(const std::string& content) {
    if (content.empty()) {
        Memo1->clear();
        Memo1->hide();
        memoLines_ = 0;
        ArrangeControls();
        return;
    }
    const bool left = content.front() == '@';
    const std::vector<std::string> lines = SplitLines(left ? content.substr(1) : content);
    QStringList text;
    for (const std::string& line : lines) text << QString::fromUtf8(line);
    Memo1->setPlainText(text.join(QLatin1Char('\n')));
    QTextBlockFormat block;
    block.setAlignment(left ? Qt::AlignLeft : Qt::AlignHCenter);
    block.setLineHeight(kMemoLineHeight, QTextBlockFormat::FixedHeight);
    QTextCursor cursor(Memo1->document());
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(block);
    memoLines_ = static_cast<int>(lines.size());
    Memo1->setVisible(true);
    ArrangeControls();
}

void TfrmAbout::ArrangeControls() {
    int y = 8;
    lblPgmTitle->adjustSize();
    pnlPgmTitle->resize(lblPgmTitle->width() + 10, lblPgmTitle->height() + 10);
    pnlPgmTitle->move(kMargin, y);
    y += pnlPgmTitle->height() + 8;

    lblCreatedBy->adjustSize();
    lblTalmek->adjustSize();
    const int inner = lblCreatedBy->width() + 6 + imgTalmek->width() + 6 + lblTalmek->width();
    const int talmekWidth = std::max(kInfoLabelWidth, inner + 16);
    const int talmekHeight = imgTalmek->height() + 8;
    pnlTalmek->resize(talmekWidth, talmekHeight);
    int x = (talmekWidth - inner) / 2;
    lblCreatedBy->move(x, (talmekHeight - lblCreatedBy->height()) / 2);
    x += lblCreatedBy->width() + 6;
    imgTalmek->move(x, 4);
    x += imgTalmek->width() + 6;
    lblTalmek->move(x, (talmekHeight - lblTalmek->height()) / 2);

    const int clientWidth = std::max({kInfoLabelWidth, talmekWidth, pnlPgmTitle->width()}) + 2 * kMargin;
    pnlTalmek->move((clientWidth - talmekWidth) / 2, y);
    y += talmekHeight + 8;

    const int labelHeight = lblFileDesc->fontMetrics().height() + 2;
    for (QLabel* label : {lblFileDesc, lblCopyright, lblProdver, lblFileVer, lblBuildDateTime}) {
        label->setGeometry(kMargin, y, kInfoLabelWidth, labelHeight);
        y += labelHeight + 2;
    }
    y += 6;
    btnOK->setGeometry((clientWidth - 75) / 2, y, 75, 25);
    y += 25 + 8;
    if (!Memo1->isHidden()) {
        Memo1->setGeometry(kMargin, y, kInfoLabelWidth, memoLines_ * kMemoLineHeight);
        y += Memo1->height() + 8;
    }
    setFixedSize(clientWidth, y);
}

void TfrmAbout::CentreControls() {
    const int clientWidth = width();
    pnlPgmTitle->resize(lblPgmTitle->width() + 10, pnlPgmTitle->height());
    pnlPgmTitle->move((clientWidth - pnlPgmTitle->width()) / 2, pnlPgmTitle->y());
    lblPgmTitle->move((pnlPgmTitle->width() - lblPgmTitle->width()) / 2, lblPgmTitle->y());
    lblCopyright->move((clientWidth - lblCopyright->width()) / 2, lblCopyright->y());
}

void TfrmAbout::showEvent(QShowEvent* event) {
    CentreControls();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->availableGeometry();
        move(desk.x() + (desk.width() - frameGeometry().width()) / 2,
             desk.y() + (desk.height() - frameGeometry().height()) / 2);
    }
    QDialog::showEvent(event);
    btnOK->setFocus(Qt::OtherFocusReason);
}

TAboutBoxDlg::TAboutBoxDlg(QObject* parent) : QObject(parent), Sources(AboutSources::Program()) {}

std::unique_ptr<TfrmAbout> TAboutBoxDlg::CreateForm(QWidget* parent) const {
    auto form = std::make_unique<TfrmAbout>(parent);
    form->FillVersionInfo(Sources);
    form->SetMemoContent(MemoContent);
    if (!Heading.empty()) form->setWindowTitle(QString::fromUtf8(Heading));
    if (!PgmTitle.empty()) {
        form->lblPgmTitle->setText(QString::fromUtf8(PgmTitle));
        form->ArrangeControls();
    }
    return form;
}

void TAboutBoxDlg::Execute(QWidget* parent) {
    std::unique_ptr<TfrmAbout> form = CreateForm(parent);
    NestedEventLoopScope nested;
    form->exec();
}

}  // namespace korvane
