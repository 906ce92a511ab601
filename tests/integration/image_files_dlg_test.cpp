#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/sondrix_dlg.h"
#include "imaging/wsq_codec.h"
#include "imaging/wsq_file.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_loopback.h"

namespace sondrix {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// The Main tab's Open and Save with a captured image of a simulated module.
class ImageFilesDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(m_dir);
        dlg.OnInitDialog();
        Connect("HLX-M18");
        page.Click(CImageDlg::kCapture);
        ASSERT_TRUE(loop.RunUntil(
            [&] { return dlg.Text(CSondrixDlg::kMessageLine).rfind("Image Quality", 0) == 0; },
            10000));
        ui.ClearRecords();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Connect(const char* model) {
        module.Config().modelCode = FindModelByName(model)->code;
        page.Select(CImageDlg::kBaudRate, 5);
        page.Click(CImageDlg::kConnect);
        ASSERT_TRUE(
            loop.RunUntil([&] { return ui.LastBoxText() == "Connection Succeeded!!!"; }, 5000));
        ui.ClearRecords();
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    std::vector<uint8_t> Image() const {
        const size_t size = static_cast<size_t>(page.imageWidth) * page.imageHeight;
        return {page.imageBuffer.begin(), page.imageBuffer.begin() + static_cast<long>(size)};
    }
    std::string Save(const std::string& name) {
        ui.ClearRecords();
        ui.QueueFiles({Path(name)});
        page.SaveImageFile();
        return ui.LastBoxText();
    }
    void Open(const std::string& name) {
        ui.ClearRecords();
        ui.QueueFiles({Path(name)});
        page.OpenImageFile();
    }
    // Opens a file that must be turned down with `text`, leaving the page alone.
    void ExpectRefused(const std::string& name, const std::string& text) {
        const std::vector<uint8_t> before = page.imageBuffer;
        int redraws = 0;
        CDialogObserver watch(page, [&](int id) { redraws += id == CImageDlg::kImage; });
        page.imagePresent = 0;
        Open(name);
        ASSERT_EQ(ui.Boxes().size(), 1u) << name;
        EXPECT_EQ(ui.Boxes()[0].text, text) << name;
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
        EXPECT_TRUE(page.imageBuffer == before) << name;
        EXPECT_EQ(page.imagePresent, 0);
        EXPECT_EQ(redraws, 0);
    }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CScriptedUiHost ui;
    CSimModule module{{kModelHlxM18, 0x0301, 115200, 0}};
    CSimPortFactory devices{loop, module};
    CSondrixDlg dlg{loop, devices, ui};
    CImageDlg& page = dlg.imageDlg;
    fs::path m_dir = fs::temp_directory_path() / ("sondrix_img_" + std::to_string(::getpid()));
};

TEST_F(ImageFilesDlgTest, SaveThenOpenGivesTheImageBackInEachFormat) {
    const auto captured = Image();
    for (const std::string name : {"a.raw", "b.bmp", "c.RAW", "d.Bmp", "e.wsq"}) {
        const int64_t start = loop.NowMs();
        EXPECT_EQ(Save(name), "File saved successfully! (" + Path(name) + ")");
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Information);
        std::fill(page.imageBuffer.begin(), page.imageBuffer.end(), 0x11);
        page.imagePresent = 0;
        Open(name);
        EXPECT_TRUE(ui.Boxes().empty()) << name;
        EXPECT_EQ(page.imagePresent, 1);
        const auto opened = Image();
        if (name[2] == 'w') {
            // Lossy: compare by peak signal to noise.
            double error = 0;
            for (size_t i = 0; i < opened.size(); ++i) {
                error += std::pow(double(opened[i]) - captured[i], 2);
            }
            EXPECT_GT(10 * std::log10(255.0 * 255 * double(opened.size()) / error), 28.0);
            EXPECT_LT(fs::file_size(Path(name)), captured.size() / 3);
        } else {
            EXPECT_EQ(opened, captured) << name;
            const bool bmp = name[2] == 'b' || name[2] == 'B';
            EXPECT_EQ(fs::file_size(Path(name)), bmp ? 79078u : 78000u) << name;
            EXPECT_GE(loop.NowMs() - start, bmp ? 120 : 0) << "the pauses of a BMP";
        }
    }
    EXPECT_EQ(ReadAll(Path("a.raw")), captured);
    Open("b.bmp");
    Save("again.bmp");
    EXPECT_EQ(ReadAll(Path("again.bmp")), ReadAll(Path("b.bmp")));
    EXPECT_TRUE(ui.FileDialogs()[0].save);
    EXPECT_TRUE(ui.FileDialogs()[0].overwritePrompt);
    EXPECT_EQ(ui.FileDialogs()[0].defaultExtension, "*.RAW");
    EXPECT_EQ(ui.FileDialogs()[0].filter,
              "RAW files(*.raw)|*.raw|256 Gray Color Bitmap files(*.bmp)|*.bmp|Wavelet Scalar "
              "Quantization Gray files(*.wsq)|*.wsq|All files|*.*|");

    // Save refuses other extensions and never reports a failed write as saved.
    EXPECT_EQ(Save("a.txt"), "Invalid file!!!");
    EXPECT_FALSE(fs::exists(Path("a.txt")));
    for (const char* name : {"no/a.raw", "no/a.bmp", "no/a.wsq"}) {
        EXPECT_EQ(Save(name),
                  "Cannot write the file! (" + Path(name) + ": " + std::strerror(ENOENT) + ")");
        EXPECT_EQ(ui.Boxes()[0].icon, EIcon::Stop);
    }
}

TEST_F(ImageFilesDlgTest, EveryRefusedOpenLeavesTheImageAlone) {
    Save("good.bmp");
    const auto good = ReadAll(Path("good.bmp"));
    ExpectRefused("none.raw", "File is not existed!!");
    WriteAll(Path("x.txt"), std::vector<uint8_t>(78000, 1));
    ExpectRefused("x.txt", "Invalid file!!!");
    WriteAll(Path("short.raw"), std::vector<uint8_t>(77999, 1));
    ExpectRefused("short.raw", "This file size is not supported!!");
    auto notBm = good;
    notBm[0] = 'X';
    WriteAll(Path("notbm.bmp"), notBm);
    ExpectRefused("notbm.bmp", "Invalid file!!!");
    auto offset = good;
    offset[10] = 54;  // pixels right after the headers: no colour table
    offset[11] = 0;
    WriteAll(Path("offset.bmp"), offset);
    ExpectRefused("offset.bmp", "This bitmap file is not supported!!");
    WriteAll(Path("truncated.bmp"), std::vector<uint8_t>(good.begin(), good.end() - 1));
    ExpectRefused("truncated.bmp", "This bitmap file is not supported!!");
    WriteAll(Path("junk.wsq"), std::vector<uint8_t>(5000, 0x5A));
    ExpectRefused("junk.wsq", "Error!!!");
    WriteAll(Path("big.wsq"), std::vector<uint8_t>(kWsqInputCapacity + 1, 0));
    ExpectRefused("big.wsq", "This file size is not supported!!");
}

TEST_F(ImageFilesDlgTest, FilesMustHoldTheConnectedModelsImageSize) {
    Save("m18.bmp");
    Save("m18.wsq");
    page.Click(CImageDlg::kConnect);  // disconnect
    Connect("HLX-M09");               // 256 x 320
    ExpectRefused("m18.bmp", "This bitmap file is not supported!!");
    ExpectRefused("m18.wsq", "This file size is not supported!!");  // fewer pixels

    // A frame of more pixels gives its first ones, whatever its shape.
    std::vector<uint8_t> image(256 * 320);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<uint8_t>(128 + 100 * std::sin(double(i % 256) / 5 + i / 2560));
    }
    ASSERT_EQ(WriteWsqFile(Path("m09.wsq"), image.data(), 256, 320, nullptr), ImageFileStatus::Ok);
    std::vector<uint8_t> decoded(kWsqPixelCapacity);
    int width = 0;
    int height = 0;
    ASSERT_EQ(
        ReadWsqFile(Path("m09.wsq"), decoded.data(), decoded.size(), &width, &height, nullptr),
        ImageFileStatus::Ok);
    page.Click(CImageDlg::kConnect);
    Connect("HLX-M18");
    Open("m09.wsq");
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_EQ(Image(), std::vector<uint8_t>(decoded.begin(), decoded.begin() + 260 * 300));
}

}  // namespace
}  // namespace sondrix
