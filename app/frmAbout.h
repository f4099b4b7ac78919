#pragma once
// The splash screen at start-up and the about box: the logo revealed like a blind.
#include <array>

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(bool splash, QWidget* parent = nullptr);

    bool Splash() const { return splash_; }
    bool FadeDone() const { return fadeDone_; }

    // Prepares and shows the form without waiting.
    void Load();
    // Unloads the form; a splash stays up for four more timer ticks first.
    void Unload();

    // Tick lengths in milliseconds; tests shorten them.
    static int RevealTickMs;
    static int HoldTickMs;

private:
    void Tick();

    bool splash_;
    bool fadeDone_ = false;
    bool closing_ = false;
    int stripHeight_ = 560;  // twips

    QLabel* imgCVNLogo = nullptr;
    std::array<QFrame*, 6> Picture2{};
    QLabel* SSPanel1 = nullptr;
    QLabel* SSPanel2 = nullptr;
    QLabel* SSPanel3 = nullptr;
    QLabel* SSPanel4 = nullptr;
    QLabel* SSPanel5 = nullptr;
    QLabel* SSPanel6 = nullptr;
    QPushButton* cmdOK = nullptr;
    QFrame* sspMenuChoice = nullptr;
    QTimer* Timer1 = nullptr;
};
