// A fresh working directory with the station files a test writes, every window of the program
// with the test main window, a recording sound output and answered boxes.
#pragma once
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/InterfaceModel.h"
#include "app/TrainerWindows.h"
#include "platform/core/Strings.h"
#include "platform/media/sound/SoundOutput.h"
#include "platform/media/sound/Wave.h"
#include "TestElements.h"

// The program's window of that name as its class (null when it is none or of another class).
template <class T>
T* Window(const std::string& name)
{
    return dynamic_cast<T*>(Screen().FindForm(name));
}

class TrainerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> counter{0};
        oldDir = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() /
              ("velostan_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(dir / "data");
        std::filesystem::create_directories(dir / "sound");
        std::filesystem::current_path(dir);
        // The trainer starts no run without start-up messages; this one asks the instructor
        // model for a parameter it has not, and changes nothing.
        WriteFile("data/trenager.ini", "0 1 1\n");
        sound = std::make_shared<TRecordingSoundOutput>();
        SetSoundOutput(sound);
        oldBox = SetMessageBoxHook([this](const std::string& text, const std::string&, unsigned) {
            Boxes.push_back(text);
            return IDOK;
        });
        oldInput = SetInputQueryHook([this](const std::string& caption, const std::string& prompt, std::string& value) {
            Prompts.push_back(caption + "|" + prompt);
            if (!AnswerBox) return false;
            value = Answer;
            return true;
        });
    }

    void TearDown() override
    {
        DestroyTrainerWindows();
        SetSoundOutput(nullptr);
        SetMessageBoxHook(oldBox);
        SetInputQueryHook(oldInput);
        std::filesystem::current_path(oldDir);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    // Writes a file of the working directory in code page 1251.
    static void WriteFile(const std::string& path, const std::string& utf8)
    {
        std::ofstream out(path, std::ios::binary);
        out << Utf8ToCp1251(utf8);
    }

    // Creates every window; the main window from the test definition.
    TfmMain* Start()
    {
        CreateTrainerWindows([] { return new TfmMain(VELO_TEST_DIR "/forms/TestMain.vfm"); });
        fmMain->ShowStartDialog = [this] { ++StartDialogs; };
        return fmMain;
    }

    // Starts the program's real main window on a scratch copy of the sample station (its data and
    // sound folders) up to its first activation, with the bus log on and no start dialog; null when
    // the sample station is missing.
    static TfmMain* StartSampleStation()
    {
        const std::filesystem::path station = std::filesystem::path(VELO_SOURCE_DIR) / "station";
        if (!std::filesystem::exists(station / "data" / "EC_Model.dat")) return nullptr;
        for (const char* folder : {"data", "sound"}) {
            std::filesystem::remove_all(folder);
            std::filesystem::copy(station / folder, folder, std::filesystem::copy_options::recursive);
        }
        CreateTrainerWindows([] { return new TfmMain; });
        fmMain->ShowStartDialog = [] {};
        fmMain->FormActivate(fmMain);
        fmMain->Show();
        fmMain->Bus.recording = true;
        return fmMain;
    }

    // Sends mes as a window would; the reply replaces it.
    static bool Send(std::string& mes) { return SendTrainerMessage(mes); }

    std::filesystem::path dir, oldDir;
    std::shared_ptr<TRecordingSoundOutput> sound;
    TMessageBoxHook oldBox;
    TInputQueryHook oldInput;
    std::vector<std::string> Boxes;
    std::vector<std::string> Prompts;
    bool AnswerBox = true;
    std::string Answer;
    int StartDialogs = 0;
};
