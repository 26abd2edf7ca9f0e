#include "speech/sapi_engine.h"

#include <windows.h>
// after windows.h, which they need
#include <objbase.h>
#include <sapi.h>

#include <cctype>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <utility>

namespace quorvel::speech {

namespace {

const char* const install_voice = "Add a voice in Windows' speech settings (Time & Language > "
                                  "Speech).";

// SAPI's format id of a stream described by a WAVEFORMATEX, which MinGW's library lacks.
const GUID wave_format_ex = {
    0xc31adbae, 0x527f, 0x4ff5, {0xa2, 0x30, 0xf6, 0x2b, 0xb6, 0x1f, 0xf7, 0x0c}};

// COM's functions, from its library loaded at their first use, on the speech thread: imported,
// the library and those it brings would load with the program, before its window shows.
struct Com32 {
    decltype(&::CoInitializeEx) initialize = nullptr;
    decltype(&::CoUninitialize) uninitialize = nullptr;
    decltype(&::CoCreateInstance) create_instance = nullptr;
    decltype(&::CoTaskMemFree) free = nullptr;
};

template <class F> void resolve(HMODULE library, const char* name, F& function) {
    function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

// None when the system has no COM.
const Com32* com32() {
    static const Com32 functions = [] {
        Com32 f;
        const HMODULE library = ::LoadLibraryW(L"ole32.dll");
        resolve(library, "CoInitializeEx", f.initialize);
        resolve(library, "CoUninitialize", f.uninitialize);
        resolve(library, "CoCreateInstance", f.create_instance);
        resolve(library, "CoTaskMemFree", f.free);
        return f;
    }();
    const bool complete = functions.initialize != nullptr && functions.uninitialize != nullptr &&
                          functions.create_instance != nullptr && functions.free != nullptr;
    return complete ? &functions : nullptr;
}

// The bytes of a file, read whole.
std::optional<std::string> file_bytes(const wchar_t* file) {
    const HANDLE handle = ::CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[1 << 16];
    DWORD got = 0;
    BOOL read = FALSE;
    while ((read = ::ReadFile(handle, buffer, sizeof buffer, &got, nullptr)) && got > 0) {
        bytes.append(buffer, got);
    }
    ::CloseHandle(handle);
    return read ? std::optional<std::string>(std::move(bytes)) : std::nullopt;
}

std::wstring wide(const std::string& utf8) {
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.pop_back(); // the terminating NUL
    return out;
}

// "... (error 0x80004001: Not implemented). Add a voice ...": the code, the system's words for
// it when it has some, and what to do.
Failure failed(const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    std::string reason = code;
    wchar_t* words = nullptr;
    if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&words),
                         0, nullptr) != 0) {
        std::string text = narrow(words);
        ::LocalFree(words);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                                 text.back() == '.')) {
            text.pop_back();
        }
        if (!text.empty()) {
            reason += ": " + text;
        }
    }
    return failure(std::string("the Windows speech engine (SAPI) cannot ") + what + " (error " +
                   reason + "). " + install_voice);
}

// Holds one COM interface and releases it.
template <class T> class Com {
  public:
    Com() = default;
    ~Com() {
        if (p_ != nullptr) {
            p_->Release();
        }
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** out() { return &p_; }

  private:
    T* p_ = nullptr;
};

// A voice's language as an engine code: its locale name, lower case ("en-us").
std::string token_language(ISpObjectToken* token) {
    Com<ISpDataKey> attributes;
    wchar_t* lcid_text = nullptr;
    if (FAILED(token->OpenKey(L"Attributes", attributes.out())) ||
        FAILED(attributes->GetStringValue(L"Language", &lcid_text))) {
        return {};
    }
    // The first of the ids, hexadecimal: "409;9".
    const LCID lcid = std::wcstoul(lcid_text, nullptr, 16);
    com32()->free(lcid_text);
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (::LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0) == 0) {
        return {};
    }
    std::string code = narrow(name);
    for (char& c : code) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return code;
}

class SapiEngine final : public Engine {
  public:
    SapiEngine()
        : com_(com32() != nullptr ? com32()->initialize(nullptr, COINIT_MULTITHREADED)
                                  : E_NOINTERFACE) {}
    ~SapiEngine() override {
        if (SUCCEEDED(com_)) {
            com32()->uninitialize();
        }
    }
    SapiEngine(const SapiEngine&) = delete;
    SapiEngine& operator=(const SapiEngine&) = delete;

    Result<SpeechLanguages> languages() override {
        SpeechLanguages found;
        const HRESULT listed = each_voice([&](ISpObjectToken* token, const std::string& code) {
            wchar_t* description = nullptr;
            if (code.empty() || FAILED(token->GetStringValue(nullptr, &description))) {
                return false;
            }
            found.list.push_back({code, narrow(description)});
            com32()->free(description);
            return false;
        });
        if (FAILED(listed)) {
            return failed("list its voices", listed);
        }
        wchar_t desktop[LOCALE_NAME_MAX_LENGTH] = {};
        ::GetUserDefaultLocaleName(desktop, LOCALE_NAME_MAX_LENGTH);
        found.desktop = narrow(desktop);
        for (char& c : found.desktop) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return found;
    }

    Result<> speak(const std::string& text, const std::string& language,
                   const Cancelled& cancelled) override {
        Com<ISpVoice> voice;
        if (const Result<> made = make_voice(voice, language); !made) {
            return made;
        }
        const std::wstring words = wide(text);
        HRESULT result =
            voice->Speak(words.c_str(), SPF_ASYNC | SPF_IS_NOT_XML | SPF_PURGEBEFORESPEAK, nullptr);
        if (FAILED(result)) {
            return failed("speak", result);
        }
        while ((result = voice->WaitUntilDone(20)) == S_FALSE) {
            if (cancelled()) {
                voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
                return {};
            }
        }
        return FAILED(result) ? Result<>(failed("speak", result)) : Result<>();
    }

    Result<std::string> wav(const std::string& text, const std::string& language) override {
        Com<ISpVoice> voice;
        if (const Result<> made = make_voice(voice, language); !made) {
            return failure(made.message());
        }
        // The stream writes a file of its own, in the temporary folder; its bytes are handed
        // back, and the program writes them where the user asked.
        wchar_t folder[MAX_PATH + 1] = {};
        wchar_t file[MAX_PATH + 1] = {};
        if (::GetTempPathW(MAX_PATH + 1, folder) == 0 ||
            ::GetTempFileNameW(folder, L"qvs", 0, file) == 0) {
            return failure("no temporary file could be made for the sound.");
        }
        const Result<> spoken = speak_into(*voice.get(), file, wide(text));
        std::optional<std::string> bytes;
        if (spoken) {
            bytes = file_bytes(file);
        }
        ::DeleteFileW(file);
        if (!spoken) {
            return failure(spoken.message());
        }
        if (!bytes) {
            return failure("the sound the Windows speech engine made could not be read back.");
        }
        return std::move(*bytes);
    }

  private:
    // An instance of the COM class, or why not.
    HRESULT create(REFCLSID class_id, REFIID interface_id, void** instance) const {
        if (com32() == nullptr) {
            return com_;
        }
        return com32()->create_instance(class_id, nullptr, CLSCTX_ALL, interface_id, instance);
    }

    // Runs `visit` for each voice with its language code until it returns true.
    template <class Visit> HRESULT each_voice(Visit visit) {
        Com<ISpObjectTokenCategory> category;
        Com<IEnumSpObjectTokens> tokens;
        HRESULT result = create(CLSID_SpObjectTokenCategory, IID_ISpObjectTokenCategory,
                                reinterpret_cast<void**>(category.out()));
        if (SUCCEEDED(result)) {
            result = category->SetId(SPCAT_VOICES, FALSE);
        }
        if (SUCCEEDED(result)) {
            result = category->EnumTokens(nullptr, nullptr, tokens.out());
        }
        if (FAILED(result)) {
            return result;
        }
        for (;;) {
            Com<ISpObjectToken> token;
            ULONG fetched = 0;
            if (tokens->Next(1, token.out(), &fetched) != S_OK || fetched == 0) {
                return S_OK;
            }
            if (visit(token.get(), token_language(token.get()))) {
                return S_OK;
            }
        }
    }

    // A voice for `language`: the first whose language it is, else the system's default.
    Result<> make_voice(Com<ISpVoice>& voice, const std::string& language) {
        const HRESULT made =
            create(CLSID_SpVoice, IID_ISpVoice, reinterpret_cast<void**>(voice.out()));
        if (FAILED(made)) {
            return failed("start", made);
        }
        each_voice([&](ISpObjectToken* token, const std::string& code) {
            return code == language && SUCCEEDED(voice->SetVoice(token));
        });
        return {};
    }

    Result<> speak_into(ISpVoice& voice, const wchar_t* file, const std::wstring& words) const {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = 22050;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 2;
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        Com<ISpStream> stream;
        HRESULT result =
            create(CLSID_SpStream, IID_ISpStream, reinterpret_cast<void**>(stream.out()));
        if (SUCCEEDED(result)) {
            result = stream->BindToFile(file, SPFM_CREATE_ALWAYS, &wave_format_ex, &format, 0);
        }
        if (SUCCEEDED(result)) {
            result = voice.SetOutput(stream.get(), TRUE);
        }
        if (SUCCEEDED(result)) {
            result = voice.Speak(words.c_str(), SPF_IS_NOT_XML, nullptr);
        }
        if (stream.get() != nullptr) {
            stream->Close();
        }
        if (FAILED(result)) {
            return failed("write the sound", result);
        }
        return {};
    }

    HRESULT com_;
};

} // namespace

std::unique_ptr<Engine> make_sapi_engine() {
    return std::make_unique<SapiEngine>();
}

} // namespace quorvel::speech
