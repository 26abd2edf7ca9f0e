// Writes sample voice files of both device families into the folder given as argument, so
// there are voices to open in the editor and on the command line.

#include "support/voice_builder.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_samples FOLDER\n";
        return 2;
    }
    using namespace quorvel::test;
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    VoicePlan nuvi_7x0;
    nuvi_7x0.voice_name = "Tom";
    nuvi_7x0.screen_name = "Tom's voice";
    nuvi_7x0.phrases = {"Unable to locate", "Turn left",         "Turn right",
                        "Keep left",        "Keep right",        "Make a U-turn",
                        "Arrived",          "Recalculating",     "In a quarter mile",
                        "Take the exit",    "At the roundabout", "Drive to highlighted route"};
    write_file((folder / "nuvi_7x0.vpm").string(), build_voice(nuvi_7x0).image);

    VoicePlan nuvi_255w = plan_255w();
    nuvi_255w.voice_name = "Jill";
    nuvi_255w.screen_name = "Jill (UK)";
    nuvi_255w.phrases = {"Entry is not found", "Bear left", "Bear right",
                         "Destination ahead",  "Then",      "Off route"};
    write_file((folder / "nuvi_255w.vpm").string(), build_voice(nuvi_255w).image);
    return 0;
}
