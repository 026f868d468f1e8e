// A card's bytes into a window of the module, written straight into its memory, then opened.
Module['openBytes'] = function (window, name, bytes) {
  const at = window.cardBuffer(bytes.length);
  if (at) HEAPU8.set(bytes, at);
  window.openCard(name);
};
