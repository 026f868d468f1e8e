// The suite under node sees node's environment (GoogleTest's shard variables), which emscripten
// otherwise keeps from the program.
Module['preRun'] = (Module['preRun'] || []).concat(function () {
  Object.assign(ENV, process.env);
});
