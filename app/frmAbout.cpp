#include "app/frmAbout.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/ZepLogo.h"
#include "widgets/FormHelpers.h"

int frmAbout::RevealTickMs = 10;
int frmAbout::HoldTickMs = 1000;

namespace {
constexpr int StripTops[6] = {120, 660, 1200, 1680, 2160, 2640};

QLabel* PublisherLine(QWidget* parent, const char* name, const QString& text, int top, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(TwipsRect(2460, top, 3450, 375));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->setAlignment(Qt::AlignCenter);
    SetBackground(label, QColor(192, 192, 192), Black);
    SetBold(label, bold);
    ShrinkFontToFit(label);
    return label;
}
}  // namespace

frmAbout::frmAbout(bool splash, QWidget* parent) : QDialog(parent), splash_(splash)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ZEP-Adult Probation Short Form"));
    setFixedSize(Twips(6030), Twips(3330));
    SetBackground(this, Blue);

    imgCVNLogo = new QLabel(this);
    imgCVNLogo->setObjectName(QStringLiteral("imgCVNLogo"));
    imgCVNLogo->setGeometry(TwipsRect(120, 120, 2190, 3030));
    imgCVNLogo->hide();

    for (int i = 0; i < 6; ++i) {
        Picture2[i] = new QFrame(this);
        Picture2[i]->setObjectName(QStringLiteral("Picture2_%1").arg(i));
        Picture2[i]->setGeometry(TwipsRect(120, StripTops[i], 2200, 560));
        SetBackground(Picture2[i], QColor(192, 192, 192));
    }

    SSPanel6 = PublisherLine(this, "SSPanel6", QStringLiteral("ZEP-Adult Probation Short Form  v4.01"), 120);
    SSPanel1 = PublisherLine(this, "SSPanel1", QStringLiteral("ZEP Screening Software Project"), 600);
    SSPanel2 = PublisherLine(this, "SSPanel2", QStringLiteral("Free software for probation offices"), 1005);
    SSPanel3 = PublisherLine(this, "SSPanel3", QStringLiteral("Tel. 555-0100   Fax 555-0199"), 1410);
    SSPanel4 = PublisherLine(this, "SSPanel4", QStringLiteral("www.example.org/zep"), 1815);
    SSPanel5 = PublisherLine(this, "SSPanel5", QStringLiteral("zep-support@example.org"), 2220);

    sspMenuChoice = new QFrame(this);
    sspMenuChoice->setObjectName(QStringLiteral("sspMenuChoice"));
    sspMenuChoice->setFrameShape(QFrame::Panel);
    sspMenuChoice->setFrameShadow(QFrame::Raised);
    sspMenuChoice->setGeometry(TwipsRect(3780, 2580, 870, 495));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(TwipsRect(3840, 2640, 735, 375));
    cmdOK->raise();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::Unload);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(RevealTickMs);
    connect(Timer1, &QTimer::timeout, this, &frmAbout::Tick);
}

void frmAbout::Load()
{
    fadeDone_ = false;
    CenterForm(this);
    if (auto* source = parentWidget() ? parentWidget()->findChild<QLabel*>(QStringLiteral("Image1")) : nullptr)
        imgCVNLogo->setPixmap(source->pixmap());
    else
        imgCVNLogo->setPixmap(ZepLogo(imgCVNLogo->size()));
    if (splash_) {
        cmdOK->hide();
        sspMenuChoice->hide();
        setWindowTitle(QStringLiteral("Initializing..."));
    } else {
        closing_ = false;
    }
    SetBackground(sspMenuChoice, Cyan, Black);
    Timer1->setInterval(RevealTickMs);
    Timer1->start();
    show();
    imgCVNLogo->show();
    for (QFrame* strip : Picture2)
        strip->raise();
}

void frmAbout::Tick()
{
    if (closing_) {
        fadeDone_ = true;
        return;
    }
    imgCVNLogo->show();
    stripHeight_ -= 50;
    for (QFrame* strip : Picture2)
        strip->resize(strip->width(), Twips(qMax(stripHeight_, 0)));
    if (stripHeight_ < 61) {
        for (QFrame* strip : Picture2)
            strip->hide();
        Timer1->stop();
        fadeDone_ = true;
    }
}

void frmAbout::Unload()
{
    if (splash_) {
        closing_ = true;
        Timer1->setInterval(HoldTickMs);
        for (int i = 0; i < 4; ++i) {
            Timer1->start();
            fadeDone_ = false;
            while (!fadeDone_)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::processEvents();
        }
        Timer1->stop();
    }
    close();
}
