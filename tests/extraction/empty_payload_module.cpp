// Resource-only module for the extraction tests; it has no code worth calling.
int EmptyPayloadModuleMarker() {
    return 0;
}
