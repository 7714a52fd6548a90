// The page's language for the picture dump run under Node: LANGUAGE stands in
// for the browser's, as the desktop reads it.
mergeInto(LibraryManager.library, {
  pk_language: function() {
    return /^ja/.test(process.env.LANGUAGE || '') ? 1 : 0;
  },
});
