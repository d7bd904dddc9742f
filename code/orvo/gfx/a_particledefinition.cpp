// Reading a particle definition file into an aParticleSystem's parameters.
//
// Each line is a keyword, one blank (0x20) and the value text; other lines
// and unknown keywords are skipped, which is how comments are written. The
// last line of a keyword counts. Values are scanned; whatever cannot be read
// keeps its default, and nothing is reported, except an "fps" above the
// highest rate (which would make every update a long run of steps).
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "orvo/gfx/a_particlesystem.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_stringlist.h"

namespace {

void wordToColor(uint32_t argb, float out[4])
{
    out[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    out[3] = static_cast<float>((argb >> 24) & 0xFF) / 255.0f;
}

void readPair(const char* value, float out[2])
{
    std::sscanf(value, "%f %f", &out[0], &out[1]);
}

bool readFlag(const char* value)
{
    return std::atoi(value) != 0;
}

} // namespace

void aParticleSystem::readDefinition(const std::string& path, aImageManager* images, const std::string& listName)
{
    std::map<std::string, std::string> values;
    {
        const aStringList lines(path.c_str());
        for (const std::string& line : lines.lines()) {
            const size_t blank = line.find(' ');
            if (blank != std::string::npos)
                values[line.substr(0, blank)] = line.substr(blank);
        }
    }
    auto find = [&values](const char* keyword) -> const char* {
        const auto it = values.find(keyword);
        return it == values.end() ? nullptr : it->second.c_str();
    };

    Params& p = m_params;
    if (const char* v = find("max_particles"))
        std::sscanf(v, "%d", &p.maxParticles);
    if (const char* v = find("fps")) {
        std::sscanf(v, "%d", &p.fps);
        if (p.fps < 0) // a negative rate has no meaning: the effect stands still
            p.fps = 0;
        if (p.fps > MAX_FPS) {
            a_log("aParticleSystem. fps %d is above %d in \"%s\", read as %d", p.fps, MAX_FPS, path.c_str(), MAX_FPS);
            p.fps = MAX_FPS;
        }
    }
    if (const char* v = find("emitter_type"))
        std::sscanf(v, "%d", &p.emitterType);
    if (const char* v = find("emitter_life"))
        readPair(v, p.emitterLife);
    if (const char* v = find("emitter_size"))
        readPair(v, p.emitterSize);
    if (const char* v = find("emitter_angle"))
        std::sscanf(v, "%f", &p.emitterAngle);
    if (const char* v = find("emit_per_sec")) {
        // Without a second number the rate is fixed at the first.
        if (std::sscanf(v, "%f %f", &p.emitPerSec[0], &p.emitPerSec[1]) < 2)
            p.emitPerSec[1] = p.emitPerSec[0];
    }
    if (const char* v = find("blend_mode"))
        std::sscanf(v, "%d", &p.blendMode);
    if (const char* v = find("spread"))
        readPair(v, p.spread);
    if (const char* v = find("spread_relative"))
        p.spreadRelative = readFlag(v);
    if (const char* v = find("spin_by_dir"))
        p.spinByDir = readFlag(v);
    if (const char* v = find("particle_life"))
        readPair(v, p.particleLife);
    if (const char* v = find("gravity"))
        readPair(v, p.gravity);
    if (const char* v = find("wind"))
        readPair(v, p.wind);
    if (const char* v = find("radial_acc"))
        readPair(v, p.radialAcc);
    if (const char* v = find("tangential_acc"))
        readPair(v, p.tangentialAcc);
    if (const char* v = find("velocity"))
        readPair(v, p.velocity);
    if (const char* v = find("spin"))
        std::sscanf(v, "%f %f %f", &p.spin[0], &p.spin[1], &p.spin[2]);
    if (const char* v = find("size_min"))
        readPair(v, p.sizeMin);
    if (const char* v = find("size_mid"))
        readPair(v, p.sizeMid);
    if (const char* v = find("size_max"))
        readPair(v, p.sizeMax);
    if (const char* v = find("size_var"))
        std::sscanf(v, "%f", &p.sizeVar);
    if (const char* v = find("color")) {
        // Words the line does not give keep their defaults.
        unsigned int start = 0xFFFFFFFF, mid = 0xFFFFFFFF, end = 0x00FFFFFF;
        std::sscanf(v, "%x %x %x %f %f", &start, &mid, &end, &p.colorVar, &p.alphaVar);
        wordToColor(start, p.colorStart);
        wordToColor(mid, p.colorMid);
        wordToColor(end, p.colorEnd);
    }
    if (const char* v = find("texture")) {
        char name[101] = {};
        if (std::sscanf(v, "%100s", name) == 1) {
            m_textureName = name;
            lookUpTexture(images, listName);
        }
    }
    if (const char* v = find("oldcolornd"))
        p.oldColorRnd = readFlag(v);
    if (const char* v = find("loop_ps"))
        p.loopPs = readFlag(v);
    if (const char* v = find("killoffscr"))
        p.killOffScreen = readFlag(v);
    if (const char* v = find("rotcenter"))
        readPair(v, p.rotCenter);
    if (const char* v = find("emitter_rtime"))
        readPair(v, p.emitterRestartTime);
    if (const char* v = find("rand_flip"))
        p.randFlip = readFlag(v);
    if (const char* v = find("def_flip"))
        p.defFlip = readFlag(v);
    if (const char* v = find("start_delay"))
        std::sscanf(v, "%f", &p.startDelay);
}
