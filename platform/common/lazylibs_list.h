// lazylibs_list.h - the FFmpeg, FluidSynth and libcdio functions the engine
// calls.
// The libraries are loaded at their first use (platform/common/lazylibs.cpp),
// so the program does not link them: add each new FFmpeg/FluidSynth function
// here, or the link fails with an undefined reference to it.  The libcdio
// functions may be called only after PlatHaveCdio (libcdio's own) or
// PlatHaveCdParanoia (the CD-DA reader's and paranoia's) said true.
//
//   LAZY(library, return type, name, (parameters), (arguments))
//
// The parameters exactly as in the library's own header (a differing one is
// a compile error); library is one of Avformat, Avcodec, Avutil, Swscale,
// Swresample, Fluidsynth, Cdio, CdioCdda, CdioParanoia.  Variadic functions cannot be forwarded: use their
// va_list forms.  Keep each library's block in name order.

// ---- libavformat ----
LAZY(Avformat, int, av_find_best_stream,
     (AVFormatContext* ic, enum AVMediaType type, int wanted_stream_nb, int related_stream,
      const AVCodec** decoder_ret, int flags),
     (ic, type, wanted_stream_nb, related_stream, decoder_ret, flags))
LAZY(Avformat, int, av_interleaved_write_frame, (AVFormatContext* s, AVPacket* pkt), (s, pkt))
LAZY(Avformat, int, av_read_frame, (AVFormatContext* s, AVPacket* pkt), (s, pkt))
LAZY(Avformat, int, av_seek_frame, (AVFormatContext* s, int stream_index, int64_t timestamp, int flags),
     (s, stream_index, timestamp, flags))
LAZY(Avformat, int, av_write_trailer, (AVFormatContext* s), (s))
LAZY(Avformat, AVFormatContext*, avformat_alloc_context, (void), ())
LAZY(Avformat, int, avformat_alloc_output_context2,
     (AVFormatContext** ctx, const AVOutputFormat* oformat, const char* format_name, const char* filename),
     (ctx, oformat, format_name, filename))
LAZY(Avformat, void, avformat_close_input, (AVFormatContext** s), (s))
LAZY(Avformat, int, avformat_find_stream_info, (AVFormatContext* ic, AVDictionary** options), (ic, options))
LAZY(Avformat, void, avformat_free_context, (AVFormatContext* s), (s))
LAZY(Avformat, AVStream*, avformat_new_stream, (AVFormatContext* s, const AVCodec* c), (s, c))
LAZY(Avformat, int, avformat_open_input,
     (AVFormatContext** ps, const char* url, const AVInputFormat* fmt, AVDictionary** options),
     (ps, url, fmt, options))
LAZY(Avformat, int, avformat_seek_file,
     (AVFormatContext* s, int stream_index, int64_t min_ts, int64_t ts, int64_t max_ts, int flags),
     (s, stream_index, min_ts, ts, max_ts, flags))
LAZY(Avformat, int, avformat_write_header, (AVFormatContext* s, AVDictionary** options), (s, options))
LAZY(Avformat, AVIOContext*, avio_alloc_context,
     (unsigned char* buffer, int buffer_size, int write_flag, void* opaque,
      int (*read_packet)(void* opaque, uint8_t* buf, int buf_size),
      int (*write_packet)(void* opaque, uint8_t* buf, int buf_size),
      int64_t (*seek)(void* opaque, int64_t offset, int whence)),
     (buffer, buffer_size, write_flag, opaque, read_packet, write_packet, seek))
LAZY(Avformat, int, avio_closep, (AVIOContext** s), (s))
LAZY(Avformat, void, avio_context_free, (AVIOContext** s), (s))
LAZY(Avformat, int, avio_open, (AVIOContext** s, const char* url, int flags), (s, url, flags))

// ---- libavcodec ----
LAZY(Avcodec, AVPacket*, av_packet_alloc, (void), ())
LAZY(Avcodec, void, av_packet_free, (AVPacket** pkt), (pkt))
LAZY(Avcodec, void, av_packet_rescale_ts, (AVPacket* pkt, AVRational tb_src, AVRational tb_dst),
     (pkt, tb_src, tb_dst))
LAZY(Avcodec, void, av_packet_unref, (AVPacket* pkt), (pkt))
LAZY(Avcodec, AVCodecContext*, avcodec_alloc_context3, (const AVCodec* codec), (codec))
LAZY(Avcodec, const AVCodec*, avcodec_find_decoder, (enum AVCodecID id), (id))
LAZY(Avcodec, const AVCodec*, avcodec_find_encoder, (enum AVCodecID id), (id))
LAZY(Avcodec, void, avcodec_flush_buffers, (AVCodecContext* avctx), (avctx))
LAZY(Avcodec, void, avcodec_free_context, (AVCodecContext** avctx), (avctx))
LAZY(Avcodec, int, avcodec_open2, (AVCodecContext* avctx, const AVCodec* codec, AVDictionary** options),
     (avctx, codec, options))
LAZY(Avcodec, int, avcodec_parameters_from_context, (AVCodecParameters* par, const AVCodecContext* codec),
     (par, codec))
LAZY(Avcodec, int, avcodec_parameters_to_context, (AVCodecContext* codec, const AVCodecParameters* par),
     (codec, par))
LAZY(Avcodec, int, avcodec_receive_frame, (AVCodecContext* avctx, AVFrame* frame), (avctx, frame))
LAZY(Avcodec, int, avcodec_receive_packet, (AVCodecContext* avctx, AVPacket* avpkt), (avctx, avpkt))
LAZY(Avcodec, int, avcodec_send_frame, (AVCodecContext* avctx, const AVFrame* frame), (avctx, frame))
LAZY(Avcodec, int, avcodec_send_packet, (AVCodecContext* avctx, const AVPacket* avpkt), (avctx, avpkt))

// ---- libavutil ----
LAZY(Avutil, int, av_channel_layout_copy, (AVChannelLayout* dst, const AVChannelLayout* src), (dst, src))
LAZY(Avutil, void, av_channel_layout_default, (AVChannelLayout* ch_layout, int nb_channels),
     (ch_layout, nb_channels))
LAZY(Avutil, void, av_channel_layout_uninit, (AVChannelLayout* channel_layout), (channel_layout))
LAZY(Avutil, AVFrame*, av_frame_alloc, (void), ())
LAZY(Avutil, void, av_frame_free, (AVFrame** frame), (frame))
LAZY(Avutil, int, av_frame_get_buffer, (AVFrame* frame, int align), (frame, align))
LAZY(Avutil, void, av_frame_unref, (AVFrame* frame), (frame))
LAZY(Avutil, void, av_free, (void* ptr), (ptr))
LAZY(Avutil, void, av_freep, (void* ptr), (ptr))
LAZY(Avutil, void, av_log_set_level, (int level), (level))
LAZY(Avutil, void*, av_malloc, (size_t size), (size))
LAZY(Avutil, int, av_strerror, (int errnum, char* errbuf, size_t errbuf_size), (errnum, errbuf, errbuf_size))

// ---- libswscale ----
LAZY(Swscale, void, sws_freeContext, (struct SwsContext* swsContext), (swsContext))
LAZY(Swscale, struct SwsContext*, sws_getCachedContext,
     (struct SwsContext* context, int srcW, int srcH, enum AVPixelFormat srcFormat, int dstW, int dstH,
      enum AVPixelFormat dstFormat, int flags, SwsFilter* srcFilter, SwsFilter* dstFilter,
      const double* param),
     (context, srcW, srcH, srcFormat, dstW, dstH, dstFormat, flags, srcFilter, dstFilter, param))
LAZY(Swscale, struct SwsContext*, sws_getContext,
     (int srcW, int srcH, enum AVPixelFormat srcFormat, int dstW, int dstH, enum AVPixelFormat dstFormat,
      int flags, SwsFilter* srcFilter, SwsFilter* dstFilter, const double* param),
     (srcW, srcH, srcFormat, dstW, dstH, dstFormat, flags, srcFilter, dstFilter, param))
LAZY(Swscale, int, sws_scale,
     (struct SwsContext* c, const uint8_t* const srcSlice[], const int srcStride[], int srcSliceY,
      int srcSliceH, uint8_t* const dst[], const int dstStride[]),
     (c, srcSlice, srcStride, srcSliceY, srcSliceH, dst, dstStride))

// ---- libswresample ----
LAZY(Swresample, int, swr_alloc_set_opts2,
     (struct SwrContext** ps, AVChannelLayout* out_ch_layout, enum AVSampleFormat out_sample_fmt,
      int out_sample_rate, AVChannelLayout* in_ch_layout, enum AVSampleFormat in_sample_fmt,
      int in_sample_rate, int log_offset, void* log_ctx),
     (ps, out_ch_layout, out_sample_fmt, out_sample_rate, in_ch_layout, in_sample_fmt, in_sample_rate,
      log_offset, log_ctx))
LAZY(Swresample, int, swr_convert,
     (struct SwrContext* s, uint8_t** out, int out_count, const uint8_t** in, int in_count),
     (s, out, out_count, in, in_count))
LAZY(Swresample, void, swr_free, (struct SwrContext** s), (s))
LAZY(Swresample, int64_t, swr_get_delay, (struct SwrContext* s, int64_t base), (s, base))
LAZY(Swresample, int, swr_get_out_samples, (struct SwrContext* s, int in_samples), (s, in_samples))
LAZY(Swresample, int, swr_init, (struct SwrContext* s), (s))

// ---- libfluidsynth ----
LAZY(Fluidsynth, void, delete_fluid_player, (fluid_player_t* player), (player))
LAZY(Fluidsynth, void, delete_fluid_settings, (fluid_settings_t* settings), (settings))
LAZY(Fluidsynth, void, delete_fluid_synth, (fluid_synth_t* synth), (synth))
LAZY(Fluidsynth, int, fluid_is_midifile, (const char* filename), (filename))
LAZY(Fluidsynth, int, fluid_player_add, (fluid_player_t* player, const char* midifile), (player, midifile))
LAZY(Fluidsynth, int, fluid_player_get_current_tick, (fluid_player_t* player), (player))
LAZY(Fluidsynth, int, fluid_player_get_status, (fluid_player_t* player), (player))
LAZY(Fluidsynth, int, fluid_player_get_total_ticks, (fluid_player_t* player), (player))
LAZY(Fluidsynth, int, fluid_player_play, (fluid_player_t* player), (player))
LAZY(Fluidsynth, int, fluid_player_stop, (fluid_player_t* player), (player))
LAZY(Fluidsynth, int, fluid_settings_setint, (fluid_settings_t* settings, const char* name, int val),
     (settings, name, val))
LAZY(Fluidsynth, int, fluid_settings_setnum, (fluid_settings_t* settings, const char* name, double val),
     (settings, name, val))
LAZY(Fluidsynth, int, fluid_settings_setstr, (fluid_settings_t* settings, const char* name, const char* str),
     (settings, name, str))
LAZY(Fluidsynth, int, fluid_synth_all_notes_off, (fluid_synth_t* synth, int chan), (synth, chan))
LAZY(Fluidsynth, int, fluid_synth_all_sounds_off, (fluid_synth_t* synth, int chan), (synth, chan))
LAZY(Fluidsynth, int, fluid_synth_cc, (fluid_synth_t* synth, int chan, int ctrl, int val),
     (synth, chan, ctrl, val))
LAZY(Fluidsynth, int, fluid_synth_channel_pressure, (fluid_synth_t* synth, int chan, int val), (synth, chan, val))
LAZY(Fluidsynth, int, fluid_synth_noteoff, (fluid_synth_t* synth, int chan, int key), (synth, chan, key))
LAZY(Fluidsynth, int, fluid_synth_noteon, (fluid_synth_t* synth, int chan, int key, int vel),
     (synth, chan, key, vel))
LAZY(Fluidsynth, int, fluid_synth_pitch_bend, (fluid_synth_t* synth, int chan, int val), (synth, chan, val))
LAZY(Fluidsynth, int, fluid_synth_program_change, (fluid_synth_t* synth, int chan, int program),
     (synth, chan, program))
LAZY(Fluidsynth, int, fluid_synth_sfload, (fluid_synth_t* synth, const char* filename, int reset_presets),
     (synth, filename, reset_presets))
LAZY(Fluidsynth, int, fluid_synth_system_reset, (fluid_synth_t* synth), (synth))
LAZY(Fluidsynth, int, fluid_synth_write_float,
     (fluid_synth_t* synth, int len, void* lout, int loff, int lincr, void* rout, int roff, int rincr),
     (synth, len, lout, loff, lincr, rout, roff, rincr))
LAZY(Fluidsynth, int, fluid_synth_write_s16,
     (fluid_synth_t* synth, int len, void* lout, int loff, int lincr, void* rout, int roff, int rincr),
     (synth, len, lout, loff, lincr, rout, roff, rincr))
LAZY(Fluidsynth, fluid_player_t*, new_fluid_player, (fluid_synth_t* synth), (synth))
LAZY(Fluidsynth, fluid_settings_t*, new_fluid_settings, (void), ())
LAZY(Fluidsynth, fluid_synth_t*, new_fluid_synth, (fluid_settings_t* settings), (settings))

// ---- libcdio ----
LAZY(Cdio, void, cdio_destroy, (CdIo_t* p_cdio), (p_cdio))
LAZY(Cdio, void, cdio_free_device_list, (char* device_list[]), (device_list))
LAZY(Cdio, lsn_t, cdio_get_disc_last_lsn, (const CdIo_t* p_cdio), (p_cdio))
LAZY(Cdio, char**, cdio_get_devices, (driver_id_t driver_id), (driver_id))
LAZY(Cdio, track_t, cdio_get_first_track_num, (const CdIo_t* p_cdio), (p_cdio))
LAZY(Cdio, track_t, cdio_get_num_tracks, (const CdIo_t* p_cdio), (p_cdio))
LAZY(Cdio, track_format_t, cdio_get_track_format, (const CdIo_t* p_cdio, track_t i_track), (p_cdio, i_track))
LAZY(Cdio, lsn_t, cdio_get_track_lsn, (const CdIo_t* p_cdio, track_t i_track), (p_cdio, i_track))
LAZY(Cdio, bool, cdio_init, (void), ())
LAZY(Cdio, cdio_log_handler_t, cdio_log_set_handler, (cdio_log_handler_t new_handler), (new_handler))
LAZY(Cdio, CdIo_t*, cdio_open, (const char* psz_source, driver_id_t driver_id), (psz_source, driver_id))
LAZY(Cdio, driver_return_code_t, cdio_read_audio_sectors,
     (const CdIo_t* p_cdio, void* p_buf, lsn_t i_lsn, uint32_t i_blocks), (p_cdio, p_buf, i_lsn, i_blocks))

// ---- libcdio_cdda ----
LAZY(CdioCdda, bool, cdio_cddap_close_no_free_cdio, (cdrom_drive_t* d), (d))
LAZY(CdioCdda, cdrom_drive_t*, cdio_cddap_identify_cdio, (CdIo_t* p_cdio, int messagedest, char** ppsz_messages),
     (p_cdio, messagedest, ppsz_messages))
LAZY(CdioCdda, int, cdio_cddap_open, (cdrom_drive_t* d), (d))

// ---- libcdio_paranoia ----
LAZY(CdioParanoia, void, cdio_paranoia_free, (cdrom_paranoia_t* p), (p))
LAZY(CdioParanoia, cdrom_paranoia_t*, cdio_paranoia_init, (cdrom_drive_t* d), (d))
LAZY(CdioParanoia, void, cdio_paranoia_modeset, (cdrom_paranoia_t* p, int mode_flags), (p, mode_flags))
LAZY(CdioParanoia, int16_t*, cdio_paranoia_read_limited,
     (cdrom_paranoia_t* p, void (*callback)(long int, paranoia_cb_mode_t), int max_retries),
     (p, callback, max_retries))
LAZY(CdioParanoia, lsn_t, cdio_paranoia_seek, (cdrom_paranoia_t* p, int32_t seek, int whence), (p, seek, whence))
