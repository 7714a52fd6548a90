// Code page 932 decoded in the browser exactly as the desktop decodes it.
//
// The desktop uses glibc iconv "CP932": a byte that starts no valid sequence
// (a stray 0x80, 0xA0, 0xFD-0xFF, or a lead byte whose next byte is no trail
// it pairs with, or the input's last byte) becomes one U+FFFD, and decoding
// goes on with the very next byte, so a bad trail byte is read again on its
// own. Emscripten's iconv has no CP932. The browser's TextDecoder("shift_jis")
// has the same double-byte table, but maps 0x80 to U+0080 and swallows a
// non-ASCII byte after a lead byte into the U+FFFD. So the double-byte table
// is taken from TextDecoder once (one call over every lead/trail pair, no
// table shipped with the page) and the sequences are cut the desktop's way.

const leadIndex = new Int8Array(256).fill(-1);
let leads = 0;
for (let b = 0x81; b <= 0xfc; ++b) {
  if (b <= 0x9f || b >= 0xe0) leadIndex[b] = leads++;
}
const firstTrail = 0x40;
const trails = 0xfc - firstTrail + 1;

// UTF-16 code unit of each lead/trail pair, 0 where the pair is no
// character; a lead's row is filled the first time the lead is met, so that
// a page's first script asks the browser about a few rows, not all 60.
const pairs = new Uint16Array(leads * trails);
const rowKnown = new Uint8Array(leads);
const shiftJis = new TextDecoder('shift_jis');

function learnRow(lead) {
  const stride = 3;
  const probe = new Uint8Array(trails * stride);
  let at = 0;
  for (let t = 0; t < trails; ++t) {
    // A newline after each pair: the decoder's output for one pair is then
    // a line of its own, whatever it made of the pair.
    probe[at++] = lead;
    probe[at++] = firstTrail + t;
    probe[at++] = 0x0a;
  }
  const lines = shiftJis.decode(probe).split('\n');
  const row = leadIndex[lead] * trails;
  for (let t = 0; t < trails; ++t) {
    const line = lines[t];
    if (line.length === 1 && line !== '\ufffd') pairs[row + t] = line.charCodeAt(0);
  }
  rowKnown[leadIndex[lead]] = 1;
}

// Decodes `bytes` (a Uint8Array) into UTF-16 code units (a Uint16Array).
// When `report` is given, it receives how many undecodable sequences there
// were (invalidCount) and the byte offset of the first (firstInvalidOffset),
// as the desktop decoder reports them.
export function decodeCp932Units(bytes, report) {
  const n = bytes.length;
  // Never more code units than bytes.
  const out = new Uint16Array(n);
  let k = 0;
  let invalid = 0;
  let firstInvalid = 0;
  for (let i = 0; i < n;) {
    const b = bytes[i];
    if (b < 0x80) {
      out[k++] = b;
      ++i;
      continue;
    }
    if (b >= 0xa1 && b <= 0xdf) {
      out[k++] = 0xff61 + (b - 0xa1);
      ++i;
      continue;
    }
    const lead = leadIndex[b];
    if (lead >= 0 && i + 1 < n) {
      if (!rowKnown[lead]) learnRow(b);
      const t = bytes[i + 1] - firstTrail;
      const c = t >= 0 && t < trails ? pairs[lead * trails + t] : 0;
      if (c) {
        out[k++] = c;
        i += 2;
        continue;
      }
    }
    if (invalid++ === 0) firstInvalid = i;
    out[k++] = 0xfffd;
    ++i;
  }
  if (report) {
    report.invalidCount = invalid;
    report.firstInvalidOffset = firstInvalid;
  }
  return out.subarray(0, k);
}

// The same, as a string.
export function decodeCp932(bytes, report) {
  return new TextDecoder('utf-16le').decode(decodeCp932Units(bytes, report));
}
