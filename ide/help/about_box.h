// Help/About ivra-ASM (F10): the about box, a dialog of the main window with the product,
// the vendor, the credit for the toolbar's icon set, the version and an OK button. The
// version is "Beta" unless the installation names its own (installerVersion). Ctrl+Tab on
// the OK button switches the logo between the wink and the vendor's mark.
#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace ide {

class Application;

// Error popup when the about panel cannot be loaded.
inline constexpr int about_panel_failed_code = 198;

// The two pictures the logo shows: the first Ctrl+Tab shows the wink.
inline constexpr const char* wink_logo = "icons/face-wink.png";
inline constexpr const char* vendor_logo = "icons/ivra.ico";

// "InstallerVersion" of the installation's settings (QSettings, system scope, "KZ71
// Assembler": the registry on Windows, /etc/xdg/KZ71 Assembler.conf on Linux): its first
// line, at most 255 characters; empty when there is none.
QString installerVersion();

class AboutBox : public QObject {
    Q_OBJECT
public:
    // Opens the about box; while it is open, this only brings it to the front.
    static void mHelpAbout(Application& app);
    // The about box that is open, or null.
    static AboutBox* current(Application& app);

    // OK (also Escape and the title bar's close): the box goes.
    void exitAbout();
    // Shows the other logo picture.
    void switchLogo();
    // The picture the logo shows, relative to the program's directory.
    const QString& logoFile() const { return logoFile_; }
    QWidget& panel() { return *panel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AboutBox(Application& app, QWidget* panel);
    void showLogo(const QString& file);

    Application& app_;
    QWidget* panel_;
    QLabel* logo_ = nullptr;
    QLabel* versionText_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QString logoFile_;
};

} // namespace ide
