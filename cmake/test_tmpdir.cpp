// Linked into every test binary: gives each test process a scratch folder of its own
// (testing::TempDir() reads TEST_TMPDIR), so tests run in parallel never share files.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
struct ScratchDir {
    std::string path;
    ScratchDir()
    {
        std::string tmpl = std::filesystem::temp_directory_path().string() + "/velo-test-XXXXXX";
        if (::mkdtemp(tmpl.data())) {
            path = tmpl;
            ::setenv("TEST_TMPDIR", (path + "/").c_str(), 1);
        }
    }
    ~ScratchDir()
    {
        if (path.empty()) return;
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
        std::filesystem::remove_all(path, ec);
    }
};
const ScratchDir scratch;
} // namespace
