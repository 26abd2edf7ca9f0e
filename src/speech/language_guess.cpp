#include "speech/language_guess.h"

#include "common/unicode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>

namespace quorvel::speech {

namespace {

struct CommonWords {
    const char* code;
    std::initializer_list<std::string_view> words;
};

// Function words and the words a navigation voice says most, lower case, in UTF-8. A word
// several languages share counts for each of them.
const std::array<CommonWords, 14> common_words{{
    {"en",
     {"the",           "and",     "to",    "of",     "at",     "on",         "for",      "is",
      "you",           "your",    "have",  "left",   "right",  "turn",       "keep",     "take",
      "exit",          "after",   "then",  "now",    "ahead",  "arrived",    "continue", "straight",
      "miles",         "mile",    "feet",  "metres", "meters", "roundabout", "make",     "route",
      "recalculating", "quarter", "drive", "bear",   "off",    "destination"}},
    {"de", {"der",      "die",    "das",          "und",       "nach",     "links",     "rechts",
            "sie",      "ihr",    "ziel",         "erreicht",  "abbiegen", "biegen",    "halten",
            "ausfahrt", "nehmen", "kreisverkehr", "geradeaus", "weiter",   "dann",      "jetzt",
            "metern",   "bitte",  "wenden",       "wird",      "neu",      "berechnet", "zur",
            "zum",      "auf",    "bei",          "ein",       "eine",     "haben",     "ihre",
            "fahren",   "sich"}},
    {"fr",
     {"le",     "la",         "les",        "du",     "des",        "au",     "aux",     "et",
      "vous",   "tournez",    "gauche",     "droite", "prenez",     "sortie", "rond",    "point",
      "tout",   "droit",      "continuez",  "puis",   "maintenant", "arrivé", "arrivée", "êtes",
      "dans",   "mètres",     "kilomètres", "restez", "serrez",     "faites", "demi",    "tour",
      "calcul", "itinéraire", "à",          "votre",  "sur"}},
    {"es", {"el",       "los",  "las",     "del",        "y",      "gire",       "izquierda",
            "derecha",  "tome", "salida",  "rotonda",    "siga",   "recto",      "luego",
            "ahora",    "ha",   "llegado", "destino",    "metros", "kilómetros", "continúe",
            "mantenga", "dé",   "vuelta",  "calculando", "ruta",   "su",         "hacia",
            "por",      "con",  "una"}},
    {"it",
     {"il",       "di",         "della",     "dello",    "e",          "svoltate",     "svolta",
      "sinistra", "destra",     "prendete",  "prendi",   "uscita",     "proseguite",   "prosegui",
      "dritto",   "poi",        "ora",       "arrivati", "arrivato",   "destinazione", "tra",
      "metri",    "chilometri", "mantenere", "mantieni", "inversione", "ricalcolo",    "percorso",
      "alla",     "al",         "sulla",     "siete"}},
    {"nl", {"de",         "het",     "een",   "en",      "naar", "links",     "rechts", "sla",
            "af",         "neem",    "afrit", "rotonde", "ga",   "rechtdoor", "dan",    "nu",
            "bestemming", "bereikt", "over",  "houd",    "keer", "om",        "wordt",  "berekend",
            "u",          "uw",      "bij",   "op",      "van",  "bent"}},
    {"pt",
     {"o",           "os",       "as",      "do",           "da",        "vire",    "esquerda",
      "direita",     "pegue",    "saída",   "rotunda",      "rotatória", "siga",    "em",
      "frente",      "depois",   "agora",   "chegou",       "ao",        "destino", "quilómetros",
      "quilômetros", "mantenha", "retorno", "recalculando", "rota",      "na",      "no",
      "à",           "seu",      "sua"}},
    {"sv",
     {"och",     "att",  "på",       "till", "sväng", "vänster", "höger",  "ta",    "avfart",
      "rondell", "kör",  "rakt",     "fram", "sedan", "har",     "kommit", "målet", "destinationen",
      "håll",    "vänd", "beräknar", "ny",   "rutt",  "du",      "i",      "om",    "vid",
      "är"}},
    {"da",
     {"og",         "på",   "til",      "drej",     "venstre", "højre", "tag",      "afkørsel",
      "rundkørsel", "kør",  "ligeud",   "derefter", "nu",      "er",    "ankommet", "destinationen",
      "hold",       "vend", "beregner", "ny",       "rute",    "du",    "i",        "om",
      "ved",        "har"}},
    {"nb", {"og",    "å",         "på",          "til",   "sving", "ta",   "venstre",
            "høyre", "avkjørsel", "rundkjøring", "kjør",  "rett",  "frem", "deretter",
            "nå",    "har",       "ankommet",    "målet", "hold",  "snu",  "beregner",
            "ny",    "rute",      "du",          "i",     "om",    "ved",  "er"}},
    {"pl", {"w",       "na",       "i",      "do",          "z",     "skręć",  "lewo",
            "prawo",   "zjazd",    "rondo",  "rondzie",     "jedź",  "prosto", "następnie",
            "teraz",   "dotarłeś", "celu",   "cel",         "za",    "metrów", "kilometrów",
            "trzymaj", "się",      "zawróć", "wyznaczanie", "trasy", "nowej",  "zjedź"}},
    {"cs",
     {"a",      "v",      "na",      "do",           "z",      "odbočte", "vlevo", "vpravo",
      "sjeďte", "výjezd", "kruhový", "kruhovém",     "objezd", "objezdu", "jeďte", "rovně",
      "potom",  "nyní",   "jste",    "cíli",         "cíle",   "za",      "metrů", "kilometrů",
      "držte",  "se",     "otočte",  "přepočítávám", "trasu"}},
    {"fi",
     {"ja",
      "on",
      "käänny",
      "vasemmalle",
      "oikealle",
      "ota",
      "liittymä",
      "liittymästä",
      "liikenneympyrä",
      "liikenneympyrästä",
      "aja",
      "suoraan",
      "sitten",
      "nyt",
      "olet",
      "saapunut",
      "määränpäähän",
      "metrin",
      "kilometrin",
      "päästä",
      "pysy",
      "tee",
      "käännös",
      "lasketaan",
      "reitti",
      "reittiä",
      "uudelleen",
      "kohteeseen"}},
    {"ru",
     {"и",     "в",       "на",           "через",      "поверните", "налево",     "направо",
      "съезд", "кольцо",  "кольцевом",    "движение",   "прямо",     "затем",      "сейчас",
      "вы",    "прибыли", "пункт",        "назначения", "метров",    "километров", "держитесь",
      "левее", "правее",  "развернитесь", "пересчёт",   "маршрута",  "по",         "к"}},
}};

bool is_letter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x370 && c <= 0x4FF);
}

} // namespace

std::vector<std::string> lower_case_words(std::string_view utf8) {
    std::vector<std::string> words;
    std::string word;
    bool digits = false;
    const auto end_word = [&] {
        if (!word.empty() && !digits) {
            words.push_back(word);
        }
        word.clear();
        digits = false;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = decode_utf8(utf8, i).value_or(0); // a malformed byte ends a word
        if (is_letter(c)) {
            append_utf8(word, small_letter(c));
        } else if (c >= '0' && c <= '9') {
            digits = true;
        } else {
            end_word();
        }
    }
    end_word();
    return words;
}

std::string guess_language(const std::vector<std::string>& phrases) {
    // Each common word with the languages it belongs to (a bit each), sorted, made once.
    using Entry = std::pair<std::string_view, std::uint32_t>;
    static const std::vector<Entry> languages_of = [] {
        std::map<std::string_view, std::uint32_t> bits;
        for (std::size_t l = 0; l < common_words.size(); ++l) {
            for (const std::string_view word : common_words[l].words) {
                bits[word] |= 1u << l;
            }
        }
        return std::vector<Entry>(bits.begin(), bits.end());
    }();
    std::array<int, common_words.size()> counts{};
    for (const auto& phrase : phrases) {
        for (const auto& word : lower_case_words(phrase)) {
            const auto found = std::lower_bound(
                languages_of.begin(), languages_of.end(), std::string_view(word),
                [](const Entry& entry, std::string_view w) { return entry.first < w; });
            if (found == languages_of.end() || found->first != word) {
                continue;
            }
            for (std::size_t l = 0; l < counts.size(); ++l) {
                counts[l] += (found->second >> l) & 1u;
            }
        }
    }
    const auto best = std::max_element(counts.begin(), counts.end());
    int second = 0;
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (it != best) {
            second = std::max(second, *it);
        }
    }
    if (*best < min_count || *best < lead_factor * second) {
        return unknown_language;
    }
    return common_words[static_cast<std::size_t>(best - counts.begin())].code;
}

} // namespace quorvel::speech
