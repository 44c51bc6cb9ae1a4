#include "platform/folder_lock.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace zv::platform {
namespace {

// A second holder waits until the first lets go, whether it is another
// process or, as here, another thread with its own lock; one holder per
// folder, and other folders are free.
TEST(FolderLock, ASecondHolderWaitsForTheFirst) {
    test::TempDir dir, other;
    FolderLock first;
    ASSERT_TRUE(first.acquire(dir.folder()));
    EXPECT_TRUE(first.held());

    FolderLock elsewhere;
    EXPECT_TRUE(elsewhere.acquire(other.folder())) << "another folder's lock is free";
    elsewhere.release();

    std::atomic<bool> got{false};
    std::thread waiter([&] {
        FolderLock second;
        // The folder spelled without its closing separator is the same folder.
        std::u16string folder = dir.folder();
        folder.pop_back();
        if (second.acquire(folder)) got = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(got) << "the second holder must wait";
    first.release();
    EXPECT_FALSE(first.held());
    waiter.join();
    EXPECT_TRUE(got);
}

}  // namespace
}  // namespace zv::platform
