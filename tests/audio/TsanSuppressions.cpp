// ThreadSanitizer sees three queue-lock nestings, free->ready and device->free in the fill worker
// and ready->device in the submit worker, and reports the cycle they form. It cannot deadlock:
// both ends that close the cycle are taken by the same thread, the fill worker, one after the
// other and never at once, so no second thread can hold the free queue's lock while waiting for
// another queue. Only this report is silenced; data races are still reported.
extern "C" const char* __tsan_default_suppressions() {
    return "deadlock:CWaveIOBase::FillLoop\n";
}
