// CImageList: images in and out, and who destroys a list handed to a list
// or tree view.
#include <CImageList.h>

#include <unknwn.h>
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

// An icon of one colour, made here so that the test needs no icon file.
class SolidIcon
{
public:
    explicit SolidIcon(COLORREF colour)
    {
        HDC hScreen = ::GetDC(NULL);
        m_hColour = ::CreateCompatibleBitmap(hScreen, 16, 16);
        ::ReleaseDC(NULL, hScreen);
        m_hMask = ::CreateBitmap(16, 16, 1, 1, NULL);
        HDC hDC = ::CreateCompatibleDC(NULL);
        HGDIOBJ hOld = ::SelectObject(hDC, m_hColour);
        HBRUSH hBrush = ::CreateSolidBrush(colour);
        const RECT all = {0, 0, 16, 16};
        ::FillRect(hDC, &all, hBrush);
        ::DeleteObject(hBrush);
        ::SelectObject(hDC, hOld);
        ::DeleteDC(hDC);
        ICONINFO info = {TRUE, 0, 0, m_hMask, m_hColour};
        m_hIcon = ::CreateIconIndirect(&info);
    }
    ~SolidIcon()
    {
        ::DestroyIcon(m_hIcon);
        ::DeleteObject(m_hColour);
        ::DeleteObject(m_hMask);
    }
    SolidIcon(const SolidIcon &) = delete;
    SolidIcon &operator=(const SolidIcon &) = delete;

    operator HICON() const { return m_hIcon; }

private:
    HBITMAP m_hColour;
    HBITMAP m_hMask;
    HICON m_hIcon;
};

TEST(ImageList, AddRemoveAndCount)
{
    SolidIcon red(RGB(255, 0, 0));
    SolidIcon blue(RGB(0, 0, 255));
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2));
    EXPECT_FALSE(images.Create(16, 16, ILC_COLOR32, 1, 1)) << "already holds a list";
    EXPECT_EQ(0, images.GetImageCount());

    EXPECT_EQ(0, images.Add(red));
    EXPECT_EQ(1, images.Add(blue));
    EXPECT_EQ(2, images.Add(red));
    EXPECT_EQ(-1, images.Add(NULL));
    EXPECT_EQ(3, images.GetImageCount());

    EXPECT_TRUE(images.Remove(1));
    EXPECT_EQ(2, images.GetImageCount());
    EXPECT_FALSE(images.Remove(5));
    EXPECT_EQ(2, images.GetImageCount());
    EXPECT_TRUE(images.Remove(-1)) << "-1 removes every image";
    EXPECT_EQ(0, images.GetImageCount());

    EXPECT_TRUE(images.DeleteImageList());
    EXPECT_EQ(nullptr, images.GetSafeHandle());
    EXPECT_FALSE(images.DeleteImageList());
}

TEST(ImageList, TemporaryLeavesTheListAlive)
{
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32, 1, 1));
    CImageList *pTemporary = CImageList::FromHandle(images);
    ASSERT_NE(nullptr, pTemporary);
    EXPECT_NE(&images, pTemporary);
    EXPECT_EQ(images.GetSafeHandle(), pTemporary->GetSafeHandle());
    AfxDeleteTempObjects();
    SolidIcon green(RGB(0, 255, 0));
    EXPECT_EQ(0, images.Add(green)) << "the list still works";
}

// The number of holders of an image list, read through its COM reference
// count while this object holds one reference more, so that the list
// outlives whatever the test destroys.
class ListHolders
{
public:
    explicit ListHolders(HIMAGELIST hImageList)
    {
        // The import library lacks it; comctl32 exports it.
        typedef HRESULT(WINAPI * QueryInterfaceProc)(HIMAGELIST, REFIID, void **);
        auto query = reinterpret_cast<QueryInterfaceProc>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::GetModuleHandle("comctl32.dll"), "HIMAGELIST_QueryInterface")));
        if (query)
            query(hImageList, IID_IUnknown, reinterpret_cast<void **>(&m_pList));
    }
    ~ListHolders()
    {
        if (m_pList)
            m_pList->Release();
    }
    ListHolders(const ListHolders &) = delete;
    ListHolders &operator=(const ListHolders &) = delete;

    bool Valid() const { return m_pList != nullptr; }
    // Holders besides this object.
    ULONG Others() const
    {
        const ULONG count = m_pList->AddRef();
        m_pList->Release();
        return count - 2;
    }

private:
    IUnknown *m_pList = nullptr;
};

struct ViewCase
{
    const char *name;
    const char *className;
    DWORD style;
    UINT setMessage;
    WPARAM whichList;
    bool viewDestroysTheList;
};

class ImageListInView : public ::testing::TestWithParam<ViewCase>
{
};

// A CImageList member handed to a view: after the view is destroyed, the
// member must still be the list's only holder, or the member's destructor
// would destroy the list a second time.
TEST_P(ImageListInView, WhoDestroysTheList)
{
    const ViewCase &c = GetParam();
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));

    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32, 1, 1));
    ListHolders holders(images);
    ASSERT_TRUE(holders.Valid());
    ASSERT_EQ(1u, holders.Others()) << "the member alone";

    HWND hView = ::CreateWindowEx(0, c.className, "", WS_POPUP | c.style, 0, 0, 100, 100, NULL,
                                  NULL, NULL, NULL);
    ASSERT_NE(nullptr, hView);
    ::SendMessage(hView, c.setMessage, c.whichList, reinterpret_cast<LPARAM>(images.GetSafeHandle()));
    ::DestroyWindow(hView);

    if (c.viewDestroysTheList) {
        EXPECT_EQ(0u, holders.Others()) << "the view destroyed the member's list";
        // What the owner must do: let go before its destructor runs.
        images.Detach();
    } else {
        EXPECT_EQ(1u, holders.Others()) << "the member is still the only holder";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, ImageListInView,
    ::testing::Values(
        ViewCase{"ListWithoutSharing", WC_LISTVIEW, LVS_REPORT, LVM_SETIMAGELIST, LVSIL_SMALL, true},
        ViewCase{"ListWithoutSharingNormal", WC_LISTVIEW, LVS_ICON, LVM_SETIMAGELIST, LVSIL_NORMAL, true},
        ViewCase{"ListSharingItsLists", WC_LISTVIEW, LVS_REPORT | LVS_SHAREIMAGELISTS,
                 LVM_SETIMAGELIST, LVSIL_SMALL, false},
        ViewCase{"Tree", WC_TREEVIEW, 0, TVM_SETIMAGELIST, TVSIL_NORMAL, false}),
    [](const ::testing::TestParamInfo<ViewCase> &info) { return std::string(info.param.name); });

} // namespace
