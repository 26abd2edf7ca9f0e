#include "exchange/voice_save.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace quorvel {
namespace {

namespace fs = std::filesystem;

TEST(WriteScreenName, pads_cuts_and_stays_in_its_field) {
    struct Case {
        const char* text;
        std::int32_t width;
        const char* image_after;
    };
    for (const Case& c :
         {Case{"Abcd", 10, "<Abcd      <"}, Case{"", 10, "<          <"},
          Case{"0123456789", 10, "<0123456789<"}, Case{"0123456789AB", 10, "<0123456789<"},
          Case{"Abcd", 0, "<xxxxxxxxxx<"}}) {
        Bytes image{'<'};
        image.insert(image.end(), 10, 'x');
        image.push_back('<');
        ASSERT_TRUE(write_screen_name(image, 1, c.width, c.text));
        EXPECT_EQ(std::string(image.begin(), image.end()), c.image_after) << c.text;
    }
    Bytes tiny(4, 'x');
    EXPECT_FALSE(write_screen_name(tiny, 2, 3, "abc"));
    EXPECT_EQ(std::string(tiny.begin(), tiny.end()), "xxxx");
}

class SaveImage : public testing::Test {
  protected:
    fs::path dir = test::fresh_temp_folder();
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void write(const fs::path& p, const std::string& s) {
        std::ofstream(p, std::ios::binary) << s;
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
    const Bytes image{'v', 'o', 'i', 'c', 'e', 0, 1, 2};
};

TEST_F(SaveImage, new_file_holds_exactly_the_image) {
    ASSERT_TRUE(save_image((dir / "new.vpm").string(), image));
    EXPECT_EQ(read(dir / "new.vpm"), std::string("voice\0\1\2", 8));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SaveImage, longer_file_is_replaced_without_its_tail) {
    write(dir / "old.vpm", std::string(100, 'z'));
    ASSERT_TRUE(save_image((dir / "old.vpm").string(), image));
    EXPECT_EQ(read(dir / "old.vpm"), std::string("voice\0\1\2", 8));
}

TEST_F(SaveImage, replaced_file_keeps_its_permissions) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows: a file has no POSIX permission bits (they read back as 0666)";
#endif
    write(dir / "p.vpm", "old");
    fs::permissions(dir / "p.vpm",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(save_image((dir / "p.vpm").string(), image));
    EXPECT_EQ(fs::status(dir / "p.vpm").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SaveImage, symbolic_link_is_written_through) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows: MinGW's standard library makes no symbolic links";
#endif
    write(dir / "real.vpm", "old");
    fs::create_symlink("real.vpm", dir / "link.vpm");
    ASSERT_TRUE(save_image((dir / "link.vpm").string(), image));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "link.vpm")));
    EXPECT_EQ(read(dir / "real.vpm"), std::string("voice\0\1\2", 8));
}

TEST_F(SaveImage, missing_folder_is_reported_and_creates_nothing) {
    const auto saved = save_image((dir / "none" / "v.vpm").string(), image);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.message().empty());
    EXPECT_EQ(entries(), 0u);
}

TEST_F(SaveImage, read_only_folder_leaves_the_target_as_it_was) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows: a folder's read-only attribute does not stop writing into it";
#else
    if (::geteuid() == 0) {
        // root writes into read-only folders; /proc is read-only even for root
        const std::string before = read("/proc/version");
        EXPECT_FALSE(save_image("/proc/version", image));
        EXPECT_EQ(read("/proc/version"), before);
        return;
    }
    write(dir / "keep.vpm", "original");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(save_image((dir / "keep.vpm").string(), image));
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(read(dir / "keep.vpm"), "original");
    EXPECT_EQ(entries(), 1u);
#endif
}

TEST_F(SaveImage, folder_as_target_is_refused) {
    fs::create_directories(dir / "sub");
    EXPECT_FALSE(save_image((dir / "sub").string(), image));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
}

} // namespace
} // namespace quorvel
