// The speech thread, which keeps every wait of the engine from the program: a new text gives
// up the one being spoken, reports stop with close, and an engine that hangs holds up
// nothing.

#include "speech/threaded_speech.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quorvel::speech {
namespace {

using namespace std::chrono_literals;

// An engine whose speaking lasts until it is cancelled, or, when `hang`, for ever (until the
// test ends it); it fails each text "fail".
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started;
    std::vector<std::string> cancelled;
    bool hang = false;
    bool released = false;
    bool engine_gone = false; // the speech thread is done with the gate
};

class SlowEngine final : public Engine {
  public:
    explicit SlowEngine(Gate& gate) : gate_(gate) {}
    ~SlowEngine() override {
        const std::lock_guard lock(gate_.mutex);
        gate_.engine_gone = true;
        gate_.changed.notify_all();
    }
    SlowEngine(const SlowEngine&) = delete;
    SlowEngine& operator=(const SlowEngine&) = delete;
    Result<SpeechLanguages> languages() override {
        return SpeechLanguages{{{"en", "English"}}, "en"};
    }
    Result<> speak(const std::string& text, const std::string&, const Cancelled& c) override {
        std::unique_lock lock(gate_.mutex);
        gate_.started.push_back(text);
        gate_.changed.notify_all();
        if (text == "fail") {
            return failure("it failed.");
        }
        while (!gate_.released && (gate_.hang || !c())) {
            gate_.changed.wait_for(lock, 1ms);
        }
        gate_.cancelled.push_back(text);
        gate_.changed.notify_all();
        return {};
    }
    Result<std::string> wav(const std::string& text, const std::string&) override {
        return "WAV " + text;
    }

  private:
    Gate& gate_;
};

class Thread : public testing::Test {
  protected:
    Gate gate;
    std::mutex report_mutex;
    std::vector<SpeechReport> reports;
    ThreadedSpeech speech{[this] { return std::make_unique<SlowEngine>(gate); }};

    // A thread that was let go still uses the gate until its engine is gone.
    void TearDown() override {
        const bool started = [&] {
            const std::lock_guard lock(gate.mutex);
            gate.released = true;
            return !gate.started.empty();
        }();
        speech.close();
        if (started) {
            wait_until([&] { return gate.engine_gone; });
        }
    }
    template <class Done> void wait_until(Done done) {
        std::unique_lock lock(gate.mutex);
        ASSERT_TRUE(gate.changed.wait_for(lock, 10s, done));
    }
    std::size_t report_count() {
        const std::lock_guard lock(report_mutex);
        return reports.size();
    }
    void start() {
        speech.start([this](const SpeechReport& r) {
            const std::lock_guard lock(report_mutex);
            reports.push_back(r);
        });
    }
};

TEST_F(Thread, speaking_again_gives_up_the_text_being_spoken) {
    speech.speak("first", "en");
    wait_until([&] { return gate.started.size() == 1; });
    speech.speak("second", "en");
    wait_until([&] { return gate.started.size() == 2; });
    EXPECT_EQ(gate.cancelled, std::vector<std::string>{"first"});
    speech.stop();
    wait_until([&] { return gate.cancelled.size() == 2; });
    EXPECT_EQ(speech.wav("third", "en").message(), "");
}

TEST_F(Thread, reports_the_languages_and_a_failure_and_nothing_once_closed) {
    start();
    speech.speak("fail", "en");
    for (auto waited = 0ms; waited < 10s && report_count() < 2; waited += 1ms) {
        std::this_thread::sleep_for(1ms);
    }
    speech.close();
    start(); // too late: the engine is closed
    speech.speak("fail", "en");
    const std::lock_guard lock(report_mutex);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].languages->desktop, "en");
    EXPECT_EQ(reports[1].unavailable, "it failed.");
}

TEST_F(Thread, an_engine_that_hangs_holds_up_neither_speak_nor_close) {
    gate.hang = true;
    speech.speak("first", "en");
    wait_until([&] { return gate.started.size() == 1; });
    const auto before = std::chrono::steady_clock::now();
    speech.speak("second", "en");
    speech.stop();
    speech.close();
    EXPECT_LT(std::chrono::steady_clock::now() - before, close_wait + 2s);
}

} // namespace
} // namespace quorvel::speech
