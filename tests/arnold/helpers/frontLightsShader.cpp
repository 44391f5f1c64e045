// A light-loop shader that leaves fhemi as Arnold hands it: the sum of the
// light it is given, as emission.
#include <ai.h>

#include <cstring>

AI_SHADER_NODE_EXPORT_METHODS(frontLightsMethods);

node_parameters {
    (void)params;
    (void)nentry;
}
node_initialize {
    (void)render_session;
    (void)node;
}
node_update {
    (void)render_session;
    (void)node;
}
node_finish {
    (void)node;
}

shader_evaluate {
    (void)node;
    AtRGB sum(0.0f);
    AiLightsPrepare(sg);
    AtLightSample sample;
    while (AiLightsGetSample(sg, sample)) {
        sum += sample.Li / sample.pdf;
    }
    sg->out.CLOSURE() = AtClosureList(AiClosureEmission(sg, sum));
}

node_loader {
    if (i != 0) {
        return false;
    }
    node->methods = frontLightsMethods;
    node->output_type = AI_TYPE_CLOSURE;
    node->name = "frontLights";
    node->node_type = AI_NODE_SHADER;
    std::strcpy(node->version, AI_VERSION);
    return true;
}
