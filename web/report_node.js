// The standard streams by their names, so that the tool knows what its output is (a file, the card
// itself, a pipe), and O_NONBLOCK kept (emscripten drops it), so that a named pipe is refused
// instead of keeping the tool waiting.
Module['onRuntimeInitialized'] = function () {
  ['/dev/stdin', '/dev/stdout', '/dev/stderr'].forEach(function (path, fd) {
    FS.streams[fd].path = path;
  });
  var flagsForNode = NODEFS.flagsForNode;
  var O_NONBLOCK = 2048; // musl's
  NODEFS.flagsForNode = function (flags) {
    return flagsForNode(flags) | (flags & O_NONBLOCK ? require('fs').constants.O_NONBLOCK : 0);
  };
};
