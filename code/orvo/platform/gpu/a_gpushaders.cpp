#include "orvo/platform/gpu/a_gpushaders.h"

#include "orvo/platform/gpu/a_gputypes.h"

namespace {

// w is always 1, so interpolating without perspective gives the same values
// and spares the rasteriser a division per pixel.
const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 a_position;
layout(location = 1) in vec4 a_color;
layout(location = 2) in vec2 a_uv0;
layout(location = 3) in vec2 a_uv1;
uniform vec2 u_target;
uniform vec2 u_offset;
noperspective out vec4 v_color;
noperspective out vec2 v_uv0;
noperspective out vec2 v_uv1;
void main()
{
    vec2 p = a_position.xy + u_offset;
    gl_Position = vec4(p.x / u_target.x * 2.0 - 1.0, p.y / u_target.y * 2.0 - 1.0, 0.0, 1.0);
    v_color = a_color;
    v_uv0 = a_uv0;
    v_uv1 = a_uv1;
}
)";

constexpr uint32_t kOpDisable = static_cast<uint32_t>(aGpuTextureOp::Disable);
constexpr uint32_t kOpSelectArg1 = static_cast<uint32_t>(aGpuTextureOp::SelectArg1);
constexpr uint32_t kOpSelectArg2 = static_cast<uint32_t>(aGpuTextureOp::SelectArg2);
constexpr uint32_t kOpModulate = static_cast<uint32_t>(aGpuTextureOp::Modulate);
constexpr uint32_t kOpAdd = static_cast<uint32_t>(aGpuTextureOp::Add);
constexpr uint32_t kOpSubtract = static_cast<uint32_t>(aGpuTextureOp::Subtract);

// One stage's operation and its two arguments; arguments the operation
// ignores become 0.
void putOperation(uint32_t op, uint32_t arg1, uint32_t arg2, uint8_t& opOut, uint8_t& arg1Out, uint8_t& arg2Out)
{
    opOut = static_cast<uint8_t>(op);
    arg1Out = op == kOpDisable || op == kOpSelectArg2 ? 0 : static_cast<uint8_t>(arg1);
    arg2Out = op == kOpDisable || op == kOpSelectArg1 ? 0 : static_cast<uint8_t>(arg2);
}

// GLSL for an argument: the diffuse colour, the current colour or the
// stage's texture sample, maybe complemented.
std::string argument(uint8_t arg, const char* texture)
{
    const uint32_t which = arg & ~gpuArgComplement;
    const std::string value = which == static_cast<uint32_t>(aGpuTextureArg::Diffuse)   ? "v_color"
                              : which == static_cast<uint32_t>(aGpuTextureArg::Current) ? "cur"
                                                                                        : texture;
    return (arg & gpuArgComplement) ? "(vec4(1.0) - " + value + ")" : value;
}

std::string operation(uint8_t op, const std::string& a1, const std::string& a2)
{
    switch (op) {
    case kOpSelectArg1:
        return a1;
    case kOpSelectArg2:
        return a2;
    case kOpModulate:
        return "(" + a1 + " * " + a2 + ")";
    case kOpAdd:
        return "min(" + a1 + " + " + a2 + ", vec4(1.0))";
    case kOpSubtract:
        return "max(" + a1 + " - " + a2 + ", vec4(0.0))";
    }
    return "cur";
}

// `cur` after one stage: the colour operation's rgb, the alpha operation's alpha.
std::string stage(const uint8_t ops[2], const uint8_t args[4], const char* texture)
{
    const std::string colour = operation(ops[0], argument(args[0], texture), argument(args[1], texture));
    const std::string alpha = operation(ops[1], argument(args[2], texture), argument(args[3], texture));
    if (colour == alpha)
        return "    cur = " + colour + ";\n";
    return "    cur = vec4(" + colour + ".rgb, " + alpha + ".a);\n";
}

} // namespace

uint64_t aGpuShaderKey::packed() const
{
    uint64_t bits = stages | (uint64_t(alphaTest) << 2);
    for (int i = 0; i < 4; ++i)
        bits |= uint64_t(ops[i] & 15) << (4 + 4 * i);
    for (int i = 0; i < 8; ++i)
        bits |= uint64_t(args[i] & 31) << (20 + 5 * i);
    return bits;
}

aGpuShaderKey gpu_shaderKey(bool textured0, bool stage1, const uint32_t stage0States[6], const uint32_t stage1States[6],
                            uint32_t alphaFunc)
{
    aGpuShaderKey key;
    key.alphaTest = alphaFunc == static_cast<uint32_t>(aGpuCompare::Always)  ? 0
                    : alphaFunc == static_cast<uint32_t>(aGpuCompare::Never) ? 1
                                                                             : 2;
    if (!textured0 || stage0States[0] == kOpDisable)
        return key;
    key.stages = stage1 ? 2 : 1;
    const uint32_t* states[2] = {stage0States, stage1States};
    for (int s = 0; s < key.stages; ++s) {
        const uint32_t* st = states[s];
        putOperation(st[0], st[1], st[2], key.ops[2 * s], key.args[4 * s], key.args[4 * s + 1]);
        putOperation(st[3], st[4], st[5], key.ops[2 * s + 1], key.args[4 * s + 2], key.args[4 * s + 3]);
    }
    return key;
}

const char* gpu_vertexShaderSource()
{
    return kVertexShader;
}

std::string gpu_fragmentShaderSource(const aGpuShaderKey& key)
{
    std::string body = "    vec4 cur = v_color;\n";
    if (key.stages >= 1)
        body += stage(&key.ops[0], &key.args[0], "t0");
    if (key.stages >= 2)
        body += stage(&key.ops[2], &key.args[4], "t1");
    body += "    cur = clamp(cur, 0.0, 1.0);\n";
    if (key.alphaTest == 1)
        body += "    discard;\n";
    else if (key.alphaTest == 2)
        body += "    if (!(int(cur.a * 255.0 + 0.5) > u_alphaRef))\n        discard;\n";
    body += "    o_color = cur;\n";

    // Only what the body reads is declared and sampled.
    const bool uses0 = body.find("t0") != std::string::npos;
    const bool uses1 = body.find("t1") != std::string::npos;
    std::string source = "#version 330 core\nnoperspective in vec4 v_color;\n";
    if (uses0)
        source += "noperspective in vec2 v_uv0;\nuniform sampler2D u_texture0;\n";
    if (uses1)
        source += "noperspective in vec2 v_uv1;\nuniform sampler2D u_texture1;\n";
    if (key.alphaTest == 2)
        source += "uniform int u_alphaRef;\n";
    source += "layout(location = 0) out vec4 o_color;\nvoid main()\n{\n";
    if (uses0)
        source += "    vec4 t0 = texture(u_texture0, v_uv0);\n";
    if (uses1)
        source += "    vec4 t1 = texture(u_texture1, v_uv1);\n";
    return source + body + "}\n";
}
