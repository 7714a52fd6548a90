// Linked before libsndfile.a, this leaves libsndfile able to open only the
// wave containers the game plays (WAV, WAVEX, W64, RF64): every other
// container's opener is replaced by a refusal, so the linker no longer pulls
// in that container's code, nor the codecs only it uses. A wave file decodes
// exactly as before; any other file fails to open, as an unsupported one
// does. (mpeg_open stays: with MPEG off its file is a stub that wav.c needs
// anyway.) Compiled against libsndfile's private header, from its source.
//
// With SNDFILE_WAVE_PLAIN_CODECS, the codecs a wave file may hold but the
// game's files do not use (GSM 6.10, G.721/G.723, NMS ADPCM) are refused too.

#include "common.h"

#define REFUSE(name)              \
    int name(SF_PRIVATE* psf) {   \
        (void)psf;                \
        return SFE_UNIMPLEMENTED; \
    }

REFUSE(aiff_open)
REFUSE(au_open)
REFUSE(avr_open)
REFUSE(caf_open)
REFUSE(dwd_open)
REFUSE(flac_open)
REFUSE(htk_open)
REFUSE(ircam_open)
REFUSE(mat4_open)
REFUSE(mat5_open)
REFUSE(mpc2k_open)
REFUSE(nist_open)
REFUSE(ogg_open)
REFUSE(paf_open)
REFUSE(pvf_open)
REFUSE(raw_open)
REFUSE(rx2_open)
REFUSE(sd2_open)
REFUSE(sds_open)
REFUSE(svx_open)
REFUSE(txw_open)
REFUSE(voc_open)
REFUSE(wve_open)
REFUSE(xi_open)

#ifdef SNDFILE_WAVE_PLAIN_CODECS
REFUSE(gsm610_init)
REFUSE(g72x_init)
REFUSE(nms_adpcm_init)
#endif

// The engine only reads, and never asks libsndfile for its log of what it
// parsed. The GSM 6.10 encoder, reachable only from a file opened for
// writing, has a file of its own, which this takes the place of. The log's
// writer shares its file with what every opener needs, so the engine links
// with --wrap=psf_log_printf and this takes the calls.
#include "GSM610/gsm.h"

void gsm_encode(gsm state, gsm_signal* source, gsm_byte* out) {
    (void)state;
    (void)source;
    (void)out;
}

void __wrap_psf_log_printf(SF_PRIVATE* psf, const char* format, ...) {
    (void)psf;
    (void)format;
}
