// A library Arnold must refuse, one way for each build of it:
//   MISFIT_NO_LOADER     no NodeLoader at all
//   MISFIT_NO_NODES      a NodeLoader that gives nothing
//   MISFIT_RUNAWAY       a NodeLoader that never stops giving nodes
//   MISFIT_NAME "x"      a shader of another name
//   MISFIT_TYPE n        a node "lumaVeil" of another type
//   MISFIT_VERSION "v"   built against another Arnold
#include <ai.h>

#include <cstring>

#if defined(MISFIT_NO_LOADER)
int misfitLibraryHasNoLoader = 0;
#else

#if !defined(MISFIT_NAME)
#define MISFIT_NAME "lumaVeil"
#endif
#if !defined(MISFIT_TYPE)
#define MISFIT_TYPE AI_NODE_SHADER
#endif
#if !defined(MISFIT_VERSION)
#define MISFIT_VERSION AI_VERSION
#endif

AI_SHADER_NODE_EXPORT_METHODS(misfitMethods);

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
    (void)sg;
}

node_loader {
#if defined(MISFIT_NO_NODES)
    (void)i;
    (void)node;
    return false;
#else
#if defined(MISFIT_RUNAWAY)
    (void)i;
#else
    if (i != 0) {
        return false;
    }
#endif
    node->methods = misfitMethods;
    node->output_type = AI_TYPE_CLOSURE;
    node->name = MISFIT_NAME;
    node->node_type = MISFIT_TYPE;
    std::strcpy(node->version, MISFIT_VERSION);
    return true;
#endif
}
#endif
