#pragma once

#include "app/Config.h"
#include "sheet/Itinerary.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace itinerary {

class ClickableLabel;
class SheetFieldEdit;

// The main window: the query bar, the print position group and the itinerary sheet with the
// passenger buttons; outside its visible area the browser, the print picture and field 4.
// A thin view over the sheet model and the jobs of the core.
class MainPrint final : public QWidget {
    Q_OBJECT

public:
    explicit MainPrint(Config config, QWidget *parent = nullptr);
    ~MainPrint() override;

    Itinerary &sheet() { return m_sheet; }
    SheetFieldEdit *field(int index) const { return m_fields[index]; }

    // The controls, by the names the handlers use.
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QLineEdit *Tn = nullptr;
    QLineEdit *Nm = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *Image2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QLineEdit *leftr = nullptr;
    QLineEdit *topb = nullptr;
    ClickableLabel *cmdtoleft = nullptr;
    ClickableLabel *cmdtoright = nullptr;
    ClickableLabel *cmdtotop = nullptr;
    ClickableLabel *cmdtobum = nullptr;
    QPushButton *cmdpau = nullptr;
    QPushButton *cmdnext = nullptr;
    QLabel *Image1 = nullptr;

    // The client area at the opening size: 13065 x 5025 twips.
    static QSize clientSize();

private:
    void buildQueryBar();
    void buildPrintPosition();
    void buildSheet();
    void setFocusOrder();
    void bindModel();
    void Text1_Change();

    Config m_config;
    Itinerary m_sheet;
    QGroupBox *m_frame1 = nullptr;
    QGroupBox *m_frame2 = nullptr;
    std::array<SheetFieldEdit *, FieldCount> m_fields{};
};

} // namespace itinerary
