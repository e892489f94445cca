# Writes the browser game's service worker from its template: the list of the
# site's files and a version made from their contents, so that any change to
# any of them makes a new version and an unchanged build keeps its own.
#   cmake -DSITE=dir -DTEMPLATE=sw.js.in -DOUTPUT=sw.js -DFILES="a;b" -DCUES="c;d" -P stamp-worker.cmake
set(digests "")
foreach(file IN LISTS FILES CUES)
    file(SHA256 "${SITE}/${file}" digest)
    string(APPEND digests "${file} ${digest}\n")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 VERSION)
list(TRANSFORM FILES PREPEND "'")
list(TRANSFORM FILES APPEND "'")
list(TRANSFORM CUES PREPEND "'")
list(TRANSFORM CUES APPEND "'")
list(JOIN FILES ", " FILES)
list(JOIN CUES ", " CUES)
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
