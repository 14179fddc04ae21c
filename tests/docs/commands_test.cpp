// The test commands the documents give: every ctest command names a test preset (each of which
// fails when it finds no test) or says --no-tests=error, and a folder filter names a folder of
// tests/, so a build without tests or a filter that matches nothing is an error, never a pass.
#include "tests/docs/doc_files.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace {

// What is wrong with one ctest command as a document writes it; "" when nothing is.
std::string Ctest_Fault(const std::string &command, const std::string &root) {
    if (command.find("--preset") == std::string::npos &&
        command.find("--no-tests=error") == std::string::npos)
        return "names no test preset and no --no-tests=error, so finding no test passes";
    static const std::regex folder(R"(-R\s+'\^([a-z_0-9]+(?:\\\.[a-z_0-9]+)*)\\\.)");
    std::smatch m;
    if (std::regex_search(command, m, folder)) {
        std::string path = std::regex_replace(m[1].str(), std::regex(R"(\\\.)"), "/");
        if (!std::filesystem::is_directory(root + "/tests/" + path))
            return "filters on the tests of tests/" + path + ", which is no folder";
    }
    return "";
}

// Every ctest command of a text (ctest and an option), to the end of its code span or its line.
std::vector<std::string> Ctest_Commands(const std::string &text) {
    static const std::regex command(R"((?:^|[\s`&;(])(ctest\s+-[^`]*))");
    std::vector<std::string> found;
    for (const std::string &line : Doc_Lines(text))
        for (std::sregex_iterator it(line.begin(), line.end(), command), end; it != end; ++it)
            found.push_back((*it)[1].str());
    return found;
}

// The test presets of a CMakePresets.json text that do not fail on finding no test.
std::vector<std::string> Presets_Passing_On_None(const std::string &json) {
    std::vector<std::string> lax;
    size_t at = json.find("\"testPresets\"");
    if (at == std::string::npos) return lax;
    // A preset opens its own line; a filter's "name" inside one does not.
    static const std::regex entry(R"re(\n\s*\{\s*"name":\s*"([^"]+)")re");
    std::string rest = json.substr(at);
    std::vector<std::pair<std::string, size_t>> starts;
    for (std::sregex_iterator it(rest.begin(), rest.end(), entry), end; it != end; ++it)
        starts.push_back({(*it)[1].str(), (size_t)it->position()});
    for (size_t i = 0; i < starts.size(); i++) {
        size_t to = i + 1 < starts.size() ? starts[i + 1].second : rest.size();
        std::string body = rest.substr(starts[i].second, to - starts[i].second);
        if (!std::regex_search(body, std::regex(R"re("noTestsAction":\s*"error")re")))
            lax.push_back(starts[i].first);
    }
    return lax;
}

TEST(TestCommands, TheCheckerFindsEachKindOfFault) {
    const std::string root = FW_SOURCE_DIR;
    struct Case {
        const char *text;
        int commands, faults;
    } cases[] = {
        {"run `ctest --test-dir build -R '^engine\\.sound\\.'` now", 1, 1},
        {"    ctest --preset ci -R '^engine\\.sound\\.'", 1, 0},
        {"`ctest --test-dir build-ci --no-tests=error -R '^world\\.'`", 1, 0},
        {"`ctest --preset ci -R '^engine\\.nosuch\\.'`", 1, 1},
        {"cmake --build --preset ci && ctest --preset asan", 1, 0},
        {"the ctest program; nothing to run here", 0, 0},
        {"`ctest --preset ci` and `ctest -R x`", 2, 1},
    };
    for (const Case &c : cases) {
        std::vector<std::string> commands = Ctest_Commands(c.text);
        int faults = 0;
        for (const std::string &command : commands)
            faults += !Ctest_Fault(command, root).empty();
        EXPECT_EQ((int)commands.size(), c.commands) << c.text;
        EXPECT_EQ(faults, c.faults) << c.text;
    }
    EXPECT_EQ(Presets_Passing_On_None(R"({"testPresets": [
        { "name": "a", "execution": { "noTestsAction": "error" } },
        { "name": "b", "output": { "outputOnFailure": true },
          "filter": { "include": { "name": "^x" } } } ]})"),
              std::vector<std::string>{"b"});
}

TEST(TestCommands, EveryTestPresetFailsOnFindingNoTest) {
    std::string json = Read_Doc("CMakePresets.json");
    ASSERT_NE(json.find("\"testPresets\""), std::string::npos);
    EXPECT_EQ(Presets_Passing_On_None(json), std::vector<std::string>{});
}

TEST(TestCommands, EveryCtestCommandOfTheDocumentsFailsOnFindingNoTest) {
    int commands = 0;
    for (const std::string &doc : Documents())
        for (const std::string &command : Ctest_Commands(Read_Doc(doc))) {
            commands++;
            EXPECT_EQ(Ctest_Fault(command, FW_SOURCE_DIR), "") << doc << ": " << command;
        }
    // docs/architecture.md shows how to run one folder's tests.
    EXPECT_GT(commands, 0);
}

} // namespace
