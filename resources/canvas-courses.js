// SPDX-License-Identifier: GPL-3.0-or-later
// The student's active Canvas courses, as a JSON array of {id: "canvas:N", name, fullName, year}.
// Evaluated repeatedly in the course list page: it reads the site's JSON API from inside the
// signed-in page and answers null until the text is ready (answerWhenReady).
(() => {
    const STATE = '__vantoryCanvasCourses';
    const COURSES = '/api/v1/courses?enrollment_state=active&enrollment_type=student&include[]=term&per_page=100';
    const {fetchAllPages, answerWhenReady} = window.__vantoryCanvasApi;

    function firstYear(text) {
        const match = /(?<!\d)20\d{2}(?!\d)/.exec(typeof text === 'string' ? text : '');
        return match ? Number(match[0]) : new Date().getFullYear();
    }

    function trimmed(value) {
        return typeof value === 'string' ? value.replace(/\s+/g, ' ').trim() : '';
    }

    // The same rule as the assessment site's course list, so one course reads alike on both: a
    // subject code followed by a course number ("CPSC 221 101 2025W1", "MATH_V 101") shows the
    // number alone unless another listed course has that number; anything else stays as it is.
    function compactNames(codes) {
        const numbers = codes.map((code) => {
            const match = /^[A-Za-z][A-Za-z_]{0,7}\s*(\d{3,4}[A-Za-z]?)(?![\w])/.exec(code);
            return match ? match[1] : null;
        });
        return codes.map((code, index) => {
            const number = numbers[index];
            return number && numbers.filter((other) => other === number).length === 1 ? number : code;
        });
    }

    async function readCourses() {
        // Courses closed by date answer with only an id and a flag: there is nothing to show.
        const courses = (await fetchAllPages(COURSES)).filter((course) =>
            course && (typeof course.id === 'number' || typeof course.id === 'string') &&
            !course.access_restricted_by_date);
        const codes = courses.map((course) => trimmed(course.course_code) || trimmed(course.name) || String(course.id));
        const names = compactNames(codes);
        return JSON.stringify(courses.map((course, index) => ({
            id: `canvas:${course.id}`,
            name: names[index],
            fullName: trimmed(course.name) || codes[index],
            year: firstYear(course.term && course.term.name),
        })));
    }

    return answerWhenReady(STATE, readCourses);
})()
