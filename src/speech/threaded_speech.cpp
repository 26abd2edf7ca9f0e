#include "speech/threaded_speech.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace quorvel::speech {

struct ThreadedSpeech::State {
    std::mutex mutex;
    std::condition_variable wake;
    EngineFactory factory;
    std::thread thread;
    bool closing = false;
    bool finished = false;
    // Each speak and stop moves it on: the text being spoken is given up once it moved.
    std::uint64_t generation = 0;
    struct Text {
        std::string text;
        std::string language;
        std::uint64_t generation;
    };
    std::optional<Text> to_speak;
    // Work for the engine besides speaking, in order.
    std::deque<std::function<void(Engine&)>> tasks;

    // Reports are made under their own lock, which close takes to end them.
    std::mutex report_mutex;
    Reporter reporter;

    void report(const SpeechReport& r) {
        const std::lock_guard lock(report_mutex);
        if (reporter) {
            reporter(r);
        }
    }

    // The speech thread's loop; `self` keeps the state alive for it.
    static void run(const std::shared_ptr<State>& self) {
        std::unique_ptr<Engine> engine = self->factory();
        std::unique_lock lock(self->mutex);
        for (;;) {
            self->wake.wait(
                lock, [&] { return self->closing || self->to_speak || !self->tasks.empty(); });
            if (self->closing) {
                break;
            }
            if (!self->tasks.empty()) {
                auto task = std::move(self->tasks.front());
                self->tasks.pop_front();
                lock.unlock();
                task(*engine);
                lock.lock();
                continue;
            }
            const Text text = std::move(*self->to_speak);
            self->to_speak.reset();
            lock.unlock();
            const Cancelled cancelled = [&self, g = text.generation] {
                const std::lock_guard check(self->mutex);
                return self->closing || self->generation != g;
            };
            const Result<> spoken = engine->speak(text.text, text.language, cancelled);
            if (!spoken && !cancelled()) {
                self->report({std::nullopt, spoken.message()});
            }
            lock.lock();
        }
        lock.unlock();
        engine.reset();
        lock.lock();
        self->finished = true;
        self->wake.notify_all();
    }

    // Starts the speech thread unless it runs. Call with `mutex` held.
    void ensure_thread(const std::shared_ptr<State>& self) {
        if (!thread.joinable() && !closing) {
            thread = std::thread([self] { run(self); });
        }
    }

    // Runs `work` on the speech thread and waits for its answer.
    template <class T>
    Result<T> ask(const std::shared_ptr<State>& self, std::function<Result<T>(Engine&)> work) {
        auto promise = std::make_shared<std::promise<Result<T>>>();
        auto answer = promise->get_future();
        {
            const std::lock_guard lock(mutex);
            if (closing) {
                return failure("the speech engine was closed.");
            }
            tasks.emplace_back(
                [promise, work](Engine& engine) { promise->set_value(work(engine)); });
            ensure_thread(self);
            wake.notify_all();
        }
        return answer.get();
    }
};

ThreadedSpeech::ThreadedSpeech(EngineFactory factory) : state_(std::make_shared<State>()) {
    state_->factory = std::move(factory);
}

ThreadedSpeech::~ThreadedSpeech() {
    close();
}

void ThreadedSpeech::start(Reporter report) {
    {
        const std::lock_guard lock(state_->report_mutex);
        state_->reporter = std::move(report);
    }
    const std::lock_guard lock(state_->mutex);
    state_->tasks.emplace_back([state = state_.get()](Engine& engine) {
        const Result<SpeechLanguages> languages = engine.languages();
        state->report(languages ? SpeechReport{*languages, ""}
                                : SpeechReport{std::nullopt, languages.message()});
    });
    state_->ensure_thread(state_);
    state_->wake.notify_all();
}

void ThreadedSpeech::close() {
    {
        const std::lock_guard lock(state_->report_mutex);
        state_->reporter = nullptr;
    }
    std::unique_lock lock(state_->mutex);
    state_->closing = true;
    ++state_->generation;
    state_->wake.notify_all();
    if (!state_->thread.joinable()) {
        return;
    }
    if (state_->wake.wait_for(lock, close_wait, [&] { return state_->finished; })) {
        lock.unlock();
        state_->thread.join();
    } else {
        // The engine does not answer: the thread ends on its own, or with the process.
        state_->thread.detach();
    }
}

void ThreadedSpeech::speak(const std::string& text, const std::string& language) {
    const std::lock_guard lock(state_->mutex);
    ++state_->generation;
    state_->to_speak = State::Text{text, language, state_->generation};
    state_->ensure_thread(state_);
    state_->wake.notify_all();
}

void ThreadedSpeech::stop() {
    const std::lock_guard lock(state_->mutex);
    ++state_->generation;
    state_->to_speak.reset();
}

Result<SpeechLanguages> ThreadedSpeech::languages() {
    return state_->ask<SpeechLanguages>(state_, [](Engine& e) { return e.languages(); });
}

Result<std::string> ThreadedSpeech::wav(const std::string& text, const std::string& language) {
    return state_->ask<std::string>(
        state_, [&text, &language](Engine& e) { return e.wav(text, language); });
}

} // namespace quorvel::speech
