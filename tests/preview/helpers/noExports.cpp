// A library that exports nothing: no Maya plug-in, renderer module or shader.
