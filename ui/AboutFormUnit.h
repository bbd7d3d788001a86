#pragma once

#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Layout.h"

namespace ui {

// The About box: the program's name, version, maker and a warning against copying.
class TAboutForm : public TForm {
public:
    explicit TAboutForm(TForm& owner);

    static const TFormDescription Description;
    static TTable<TLayoutRow<TAboutForm>> Layout();

    TImage* Image = nullptr;
    TLabel* NameLabel = nullptr;
    TLabel* VersionLabel = nullptr;
    TLabel* URLLabel = nullptr;
    TLabel* CopyrightLabel = nullptr;
    TMemo* WarningMemo = nullptr;
    TButton* OKBtn = nullptr;

    void OKBtnClick(TComponent* Sender);
    void URLLabelClick(TComponent* Sender);
};

} // namespace ui
