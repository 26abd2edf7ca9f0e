// The language guess on phrase lists made as a voice's are: a few sentences of one language,
// each said at several distances.

#include "speech/language_guess.h"

#include "support/test_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel::speech {
namespace {

// Each template said at each distance; "#" stands for the distance.
std::vector<std::string> phrase_list(const std::vector<std::string>& templates) {
    std::vector<std::string> phrases;
    for (const char* distance : {"100", "500", "1000"}) {
        for (std::string phrase : templates) {
            if (const auto at = phrase.find('#'); at != std::string::npos) {
                phrase.replace(at, 1, distance);
            }
            phrases.push_back(phrase);
        }
    }
    return phrases;
}

struct GuessCase {
    const char* name;
    std::vector<std::string> phrases;
    std::string guess;
};

class Guess : public testing::TestWithParam<GuessCase> {};

TEST_P(Guess, names_the_language_of_the_phrases_or_unknown) {
    EXPECT_EQ(guess_language(GetParam().phrases), GetParam().guess);
}

const std::vector<std::string> english = {"In # metres, turn left", "Keep right", "Take the exit",
                                          "You have arrived at your destination"};
const std::vector<std::string> german = {"Nach # Metern links abbiegen", "Rechts halten",
                                         "Nehmen Sie die Ausfahrt", "Sie haben Ihr Ziel erreicht"};

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Guess,
    testing::Values(
        GuessCase{"english", phrase_list(english), "en"},
        GuessCase{"german", phrase_list(german), "de"},
        GuessCase{"french",
                  phrase_list({"Dans # mètres, tournez à gauche", "Serrez à droite",
                               "Prenez la sortie", "Vous êtes arrivé à destination"}),
                  "fr"},
        GuessCase{"spanish",
                  phrase_list({"En # metros, gire a la izquierda", "Mantenga la derecha",
                               "Tome la salida", "Ha llegado a su destino"}),
                  "es"},
        GuessCase{"italian",
                  phrase_list({"Tra # metri svoltate a sinistra", "Mantenere la destra",
                               "Prendete l'uscita", "Siete arrivati a destinazione"}),
                  "it"},
        GuessCase{"dutch",
                  phrase_list({"Over # meter links afslaan", "Rechts houden", "Neem de afrit",
                               "U heeft uw bestemming bereikt"}),
                  "nl"},
        GuessCase{"portuguese",
                  phrase_list({"Em # metros, vire à esquerda", "Mantenha a direita",
                               "Pegue a saída", "Chegou ao destino"}),
                  "pt"},
        GuessCase{"swedish",
                  phrase_list({"Om # meter, sväng vänster", "Håll höger", "Ta avfarten",
                               "Du har kommit fram till målet"}),
                  "sv"},
        GuessCase{"norwegian",
                  phrase_list({"Om # meter, sving til venstre", "Hold til høyre", "Ta avkjørselen",
                               "Du har ankommet målet"}),
                  "nb"},
        GuessCase{"polish",
                  phrase_list({"Za # metrów skręć w lewo", "Trzymaj się prawej", "Zjedź zjazdem",
                               "Dotarłeś do celu"}),
                  "pl"},
        GuessCase{"capitals_of_polish", phrase_list({"ZA # METRÓW SKRĘĆ W LEWO"}), "pl"},
        GuessCase{"russian",
                  phrase_list({"Через # метров поверните налево", "Держитесь правее",
                               "Вы прибыли в пункт назначения"}),
                  "ru"},
        GuessCase{"english_and_german_alike", joined(english, german), unknown_language},
        GuessCase{"one_short_phrase", {"Turn left"}, unknown_language},
        GuessCase{"numbers_and_names_only", phrase_list({"#", "A1", "Zoë"}), unknown_language},
        GuessCase{"no_phrases", {}, unknown_language}),
    test::row_name);

} // namespace
} // namespace quorvel::speech
