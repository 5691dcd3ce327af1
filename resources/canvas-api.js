// SPDX-License-Identifier: GPL-3.0-or-later
// Reads Canvas's JSON API from inside the signed-in page: every page of an endpoint, following
// the Link header's rel="next" URLs as given (on this site only), with a "while(1);" prefix
// stripped. Put before each Canvas script by the application. A failure carries the HTTP status
// in `status` (0: the answer was no JSON list).
window.__vantoryCanvasApi = window.__vantoryCanvasApi || (() => {
    const MAX_PAGES = 50;

    function failure(message, status) {
        const error = new Error(message);
        error.status = status;
        return error;
    }

    // URLs may hold commas, so entries split only before "<".
    function nextLink(header) {
        for (const entry of (header || '').split(/,(?=\s*<)/)) {
            const match = /^\s*<([^>]*)>(.*)$/.exec(entry);
            const rel = match && /;\s*rel\s*=\s*(?:"([^"]*)"|([^;\s]+))/i.exec(match[2]);
            if (rel && (rel[1] ?? rel[2]).split(/\s+/).includes('next'))
                return new URL(match[1], location.href).href;
        }
        return null;
    }

    async function fetchAllPages(path) {
        const items = [];
        const seen = new Set();
        for (let url = new URL(path, location.origin).href; url; ) {
            if (seen.has(url) || seen.size >= MAX_PAGES)
                throw new Error(`pagination of ${path} does not end`);
            if (new URL(url).origin !== location.origin)
                throw new Error(`pagination of ${path} leaves the site`);
            seen.add(url);
            const response = await fetch(url, {credentials: 'same-origin', headers: {Accept: 'application/json'}});
            if (!response.ok)
                throw failure(`${path}: HTTP ${response.status}`, response.status);
            let page;
            try {
                page = JSON.parse((await response.text()).replace(/^\s*while\(1\);/, ''));
            } catch (error) {
                throw failure(`${path}: the answer is not JSON`, 0);
            }
            if (!Array.isArray(page))
                throw failure(`${path}: the answer is not a list`, 0);
            items.push(...page);
            url = nextLink(response.headers.get('Link'));
        }
        return items;
    }

    // For a script evaluated repeatedly: the first evaluation starts read() and answers null, later
    // ones null until its text is ready, then the text (or throw what went wrong). The state lives
    // on window under key, since nothing an evaluation declares survives it, and is cleared once
    // delivered, so the next read is fresh.
    function answerWhenReady(key, read) {
        const state = window[key];
        if (!state) {
            const started = {done: false};
            window[key] = started;
            read().then(
                (text) => Object.assign(started, {done: true, text}),
                (error) => Object.assign(started, {done: true, error: String((error && error.message) || error)}));
            return null;
        }
        if (!state.done)
            return null;
        delete window[key];
        if (state.error !== undefined)
            throw new Error(state.error);
        return state.text;
    }

    return {fetchAllPages, answerWhenReady};
})();
