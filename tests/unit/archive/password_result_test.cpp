// Password results of test and extract: a wrong or missing password is 523, a Cancel at the
// prompt 518, and an encryption this reader cannot decode 525 with a skip event and no prompt.
#include "archive/archiver.h"
#include "archive/winzip_aes.h"
#include "archive_support.h"
#include "raw_zip.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

namespace corvane::archive {
namespace {

using test::RawZip;
using test::writeFile;

class CancellingObserver : public test::RecordingObserver {
public:
    bool onPasswordNeeded(std::string& password) override {
        if (cancel) {
            events.push_back({"password", {}, 0});
            cancel();
            return false;
        }
        return RecordingObserver::onPasswordNeeded(password);
    }
    std::function<void()> cancel;
};

// An archive with a plain entry and one whose encryption is described by `encrypt`.
std::string foreignEncryption(const std::function<void(ZipItem&)>& encrypt) {
    RawZip zip;
    zip.add(test::unixItem("plain.txt", "readable", S_IFREG | 0644), "readable");
    ZipItem secret = test::unixItem("secret.txt", "0123456789", S_IFREG | 0644);
    secret.flags |= zip::kFlagEncrypted;
    encrypt(secret);
    zip.add(secret, test::randomData(40, 7));
    return zip.finish();
}

class PasswordResults : public ::testing::Test {
protected:
    void SetUp() override {
        corvane::test::makeFolder(folder / "src");
        writeFile(folder / "src/a.txt", test::textData(30000, 1));
        writeFile(folder / "src/b.txt", test::textData(20000, 2));
        zip.settings.archivePath = folder / "aes.bac";
        zip.settings.includes.push_back(folder / "src/*");
        zip.settings.password = "right";
        EXPECT_EQ(zip.compress(), kDone);
        zip.settings.password.clear();
        writeFile(folder / "zipcrypto.zip",
                  foreignEncryption([](ZipItem& item) { item.method = zip::kMethodDeflate; }));
        writeFile(folder / "aes-strength-4.zip", foreignEncryption([](ZipItem& item) {
                      item.method = zip::kMethodAes;
                      item.aes = AesInfo{zip::kAesVersion1, 4, zip::kMethodDeflate};
                  }));
        writeFile(folder / "strong.zip", foreignEncryption([](ZipItem& item) {
                      item.flags |= zip::kFlagStrongEncryption;
                  }));
        zip.setObserver(&observer);
    }

    corvane::test::TempFolder folder;
    test::ZipUnderTest zip;
    CancellingObserver observer;
};

TEST_F(PasswordResults, WrongMissingCancelledAndUnreadable) {
    using List = std::vector<std::string>;
    struct Case {
        const char* name;
        const char* archive;
        std::string password;  // in the settings
        List answers;          // at the prompt
        bool cancel;           // the prompt's Cancel
        int code;
        bool asked;
        List skipped;  // with reason kSkipUnsupported
    };
    const List secret = {"secret.txt"};
    const Case cases[] = {
        {"wrong password, no other given", "aes.bac", "wrong", {}, false, kWrongPassword, true, {}},
        {"no password, none given", "aes.bac", "", {}, false, kWrongPassword, true, {}},
        {"wrong every time", "aes.bac", "", {"a", "b", "c", "d"}, false, kWrongPassword, true, {}},
        {"cancelled at the prompt", "aes.bac", "", {}, true, kAborted, true, {}},
        {"wrong, then right", "aes.bac", "wrong", {"right"}, false, kDone, true, {}},
        {"right", "aes.bac", "right", {}, false, kDone, false, {}},
        {"ZipCrypto", "zipcrypto.zip", "", {}, false, kUnsupported, false, secret},
        {"ZipCrypto, password set", "zipcrypto.zip", "x", {}, false, kUnsupported, false, secret},
        {"unknown AES strength", "aes-strength-4.zip", "", {}, false, kUnsupported, false, secret},
        {"strong encryption", "strong.zip", "", {}, false, kUnsupported, false, secret},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        zip.settings.archivePath = folder / test.archive;
        zip.settings.password = test.password;
        observer.events.clear();
        observer.passwords = test.answers;
        observer.cancel =
            test.cancel ? std::function<void()>([this] { zip.requestAbort(); }) : nullptr;
        EXPECT_EQ(zip.test(), test.code);
        EXPECT_EQ(observer.count("password") > 0, test.asked);
        EXPECT_EQ(observer.names("skipped"), test.skipped);
        for (const auto reason : observer.values("skipped"))
            EXPECT_EQ(reason, kSkipUnsupported);
        EXPECT_EQ(observer.count("warning"), 0u);
    }
}

}  // namespace
}  // namespace corvane::archive
