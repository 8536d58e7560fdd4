// The program's resources as the program sees them (this test program links the same ones): the
// string table, the introduction document, the manifest and the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/appServices.h"
#include "app/appText.h"
#include "platform/vqStrings.h"
#include "app/winBinder.h"
#include "app/winImages.h"
#include "resources/OmbrantStrings.h"
#include "tests/win32/app/BinderTestForm.h"


namespace ombrant::test {
namespace {

TEST(ProgramResources, TheStringTableHoldsEveryNumberedStringUnchanged) {
  HMODULE module = GetModuleHandleW(nullptr);
  for (const TOmbrantString& s : kOmbrantStrings) {
    const wchar_t* text = nullptr;
    // With no buffer, LoadString points into the resource: the exact length, no truncation.
    const int length = LoadStringW(module, s.number, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_GT(length, 0) << "string " << s.number << " is missing";
    EXPECT_EQ(win32::ToUtf8(std::wstring_view(text, static_cast<std::size_t>(length))), s.text)
        << "string " << s.number;
  }
}

// The document's paragraphs as the rich-text control shows them.
std::vector<std::string> IntroductionParagraphs() {
  ui::Form form("form", "Introduction");
  form.SetClientSize(400, 300);
  ui::RichEdit document("document");
  document.SetParent(&form);
  document.SetAlign(ui::Alignment::Client);
  document.SetRtf(win32::LoadResourceBytes(GetModuleHandleW(nullptr), "Introductionrtf", "RTF"));
  win32::FormBinder binder(form, GetModuleHandleW(nullptr));
  binder.Create();
  HWND control = binder.HandleOf(document);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  std::vector<std::string> paragraphs;
  std::wstring current;
  for (wchar_t c : text + L"\r") {
    if (c == L'\r' || c == L'\n') {
      if (!current.empty()) paragraphs.push_back(win32::ToUtf8(current));
      current.clear();
    } else {
      current += c;
    }
  }
  return paragraphs;
}

TEST(ProgramResources, TheIntroductionListsEveryApplicationWithItsGradeUnderItsHeading) {
  const std::vector<std::string> paragraphs = IntroductionParagraphs();
  ASSERT_FALSE(paragraphs.empty()) << "the document did not load";
  const auto at = [&](const std::string& heading) {
    return std::find(paragraphs.begin(), paragraphs.end(), heading);
  };
  const char* const headings[] = {"What is it about?",          "The compromise!",
                                  "Features",                   "List of browsers",
                                  "List of email clients",      "List of instant messengers",
                                  "List of multimedia players", "Limitations",
                                  "Technical background"};
  for (std::size_t i = 0; i < std::size(headings); ++i) {
    ASSERT_NE(at(headings[i]), paragraphs.end()) << headings[i];
    if (i > 0) {
      EXPECT_LT(at(headings[i - 1]), at(headings[i])) << headings[i] << " out of order";
    }
  }

  const std::string m = " (including settings migration)";
  const std::string p = " (including permissions adjustments)";
  struct List {
    const char* heading;
    std::vector<std::string> entries;
  };
  const List lists[] = {
      {"List of browsers",
       {"Microsoft Internet Explorer ++" + m, "Mozilla Firefox ++" + m, "Mozilla SeaMonkey ++" + m,
        "mozilla-based Beonex ++" + m, "mozilla-based K-Meleon ++" + m,
        "mozilla-based Lolifox ++" + m, "mozilla-based Netscape Navigator ++" + m,
        "mozilla-based Wyzo + (including settings migration, see notes)", "Opera ++" + m,
        "Apple Safari ++" + m}},
      {"List of email clients",
       {"Eudora ++" + m, "Evolution -- (see limitations)", "Microsoft Outlook Express ++" + m,
        "Mozilla Thunderbird ++" + m, "Mulberry ++" + m, "PostMe +" + p,
        "Pegasus Mail -- (see limitations)", "Sylpheed ++" + m, "The Bat! + (see limitations)",
        "Windows Live Mail - (see notes)"}},
      {"List of instant messengers",
       {"AIM 6.5 ++" + m, "Digsby ++" + m, "Gadu-Gadu ++" + m, "GMX MultiMessenger ++" + m,
        "GoogleTalk ++" + m, "ICQ 2003b -- (see limitations)", "ICQ 6 ++" + m,
        "Miranda + (see limitations)", "Pidgin ++" + m, "QQ 2003 SA +" + p,
        "QQ 2005 English +" + p, "QQ 2007 +" + p, "Skype ++" + m, "Tlen.pl ++" + m,
        "Trillian +" + p, "VoipBuster ++" + m, "VoipStunt ++" + m,
        "Web.de MultiMessenger ++" + m, "Windows Live Messenger - (see notes)",
        "Yahoo! Messenger 8.1 +" + p}},
      {"List of multimedia players",
       {"Windows Media Player ++" + m, "Apple QuickTime ++" + m, "DivX Player ++" + m,
        "Foobar 2000 ++" + m, "Light Alloy ++" + p, "Qtrax ++" + m, "QuintEssential Player ++" + m,
        "RealPlayer - (see notes)", "Songbird ++" + m, "VideoLAN Client ++" + m, "WinAmp ++" + m,
        "Zoom Player ++ (no migration required)"}},
  };
  std::size_t total = 0;
  for (const List& list : lists) {
    auto heading = at(list.heading);
    ASSERT_NE(heading, paragraphs.end());
    const std::vector<std::string> shown(heading + 1,
                                         heading + 1 + static_cast<std::ptrdiff_t>(std::min(
                                                           list.entries.size(),
                                                           static_cast<std::size_t>(paragraphs.end() - heading - 1))));
    EXPECT_EQ(shown, list.entries) << list.heading;
    total += list.entries.size();
  }
  EXPECT_EQ(total, 52u) << "the supported applications";

  // One paragraph of limitations names each application with known problems.
  std::string limitations;
  for (auto it = at("Limitations") + 1; it != at("Technical background"); ++it) limitations += *it + "\n";
  for (const char* name : {"Evolution", "ICQ 2003b", "Pegasus Mail", "RealPlayer",
                           "Windows Live Mail", "Windows Live Messenger", "Wyzo"}) {
    EXPECT_NE(limitations.find(name), std::string::npos) << name;
  }
}

TEST(ProgramResources, TheManifestAsksForAdministratorsAndCommonControls6) {
  const std::string manifest = win32::LoadResourceBytes(
      GetModuleHandleW(nullptr), "#1", "#24");  // CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST
  for (const char* part :
       {"level=\"requireAdministrator\"", "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "<dpiAware"}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }

  // This program carries the same manifest (and it started): asked for the common controls, the
  // system hands it version 6, which it keeps side by side with the old one.
  HMODULE controls = LoadLibraryW(L"comctl32.dll");
  ASSERT_NE(controls, nullptr);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(controls, path, MAX_PATH);
  FreeLibrary(controls);
  const std::string module = LowerCase(win32::ToUtf8(path));
  EXPECT_NE(module.find("microsoft.windows.common-controls"), std::string::npos) << module;
  EXPECT_NE(module.find("_6.0."), std::string::npos) << module;
}

TEST(ProgramResources, PicturesComeFromTheResourcesAndImageListsKeepTheirIndexes) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  for (int size : {16, 32}) {
    for (const wchar_t* name : {L"USERACCOUNT", L"MAINICON"}) {
      HICON icon = static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, size, size, 0));
      EXPECT_NE(icon, nullptr) << win32::ToUtf8(name) << " " << size;
      if (icon != nullptr) DestroyIcon(icon);
    }
  }
  win32::UniqueBitmap logo(static_cast<HBITMAP>(
      LoadImageW(module, L"KESTROVALTD", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  ASSERT_TRUE(logo);
  DIBSECTION dib{};
  ASSERT_EQ(GetObjectW(logo.get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
  EXPECT_EQ(dib.dsBm.bmWidth, 141);
  EXPECT_EQ(dib.dsBm.bmHeight, 66);
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
  // Transparent around the artwork, opaque inside it.
  const auto* px = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
  std::size_t clear = 0;
  std::size_t solid = 0;
  for (int i = 0; i < 141 * 66; ++i) {
    clear += (px[i] >> 24) == 0;
    solid += (px[i] >> 24) == 0xFF;
  }
  EXPECT_GT(clear, 1000u);
  EXPECT_GT(solid, 1000u);

  // An entry's own pixels, a resource picture, and a picture that cannot be found: three
  // pictures, in order, the last one empty.
  ui::ImageList list("list", 16, 16);
  list.Add({"red", std::vector<std::uint32_t>(256, 0xFFFF0000u)});
  list.Add({"USERACCOUNT", {}});
  list.Add({"NOSUCHPICTURE", {}});
  list.Add({"blue", std::vector<std::uint32_t>(256, 0xFF0000FFu)});
  win32::UniqueImageList images = win32::BuildImageList(list, module);
  ASSERT_TRUE(images);
  EXPECT_EQ(ImageList_GetImageCount(images.get()), 4);

  // Drawn on white: red, blue, and the missing picture leaves white.
  const auto centreAfterDrawing = [&](int index) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win32::UniqueBitmap canvas(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas.get());
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(images.get(), index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    const std::uint32_t centre = static_cast<const std::uint32_t*>(bits)[8 * 16 + 8] & 0xFFFFFFu;
    SelectObject(dc, old);
    DeleteDC(dc);
    return centre;
  };
  EXPECT_EQ(centreAfterDrawing(0), 0xFF0000u);
  EXPECT_EQ(centreAfterDrawing(3), 0x0000FFu);
  EXPECT_EQ(centreAfterDrawing(2), 0xFFFFFFu);
  EXPECT_NE(centreAfterDrawing(1), 0xFFFFFFu) << "the account picture has a figure in the middle";
}

}  // namespace
}  // namespace ombrant::test
