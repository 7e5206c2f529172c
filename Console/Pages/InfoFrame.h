// CInfoFrame: the about page: the product's pictures, a notice line, the
// version of the installed files and the interface designer's credit. Its
// texts and pictures are read once, when the page is set up.
#pragma once

#include "ConsolePage.h"
#include "InfoPageIds.h"
#include "SkinBitmap.h"
#include "SkinLabel.h"

#include <LanguageText.h>

class CInfoFrame : public CConsolePage
{
public:
    explicit CInfoFrame(CWnd *pParent = NULL);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void LoadPictures();
    void SetTexts();
    // The labels at their fixed places; nothing moves while the client
    // rectangle stays the one of the last layout.
    void Layout();

    CSkinBitmap m_iconPicture;
    CSkinBitmap m_productPicture;
    CSkinBitmap m_logoPicture;
    CSkinLabel m_versionValue;
    CSkinLabel m_designerValue;
    CSkinLabel m_versionLabel;
    CSkinLabel m_designerLabel;
    CSkinLabel m_notice;
    CLanguageText m_texts;
    CRect m_lastLayout;
};
