-- Collecting an attempt on a school's server in one call: a server a network away then
-- costs one round trip per results file. The function runs with the teacher's own rights
-- (SECURITY INVOKER), so row security holds as for the statements it replaces.

INSERT INTO schema_version (version) VALUES (4);

-- Texts come as lists of hex, each item after an 'x' (an empty text is a lone 'x'), joined by
-- commas; numbers as arrays. Questions are sent only when the teacher's test row is new to the
-- connection; NULL then, and the outcome 'questions' asks for them when the row is missing.
-- The outcome is 'known', 'ask' (an attempt of the same student, test and date is attempt_id:
-- call again with decided, and replace_id to replace it), 'questions', 'added', 'replaced' or
-- 'error ' and the SQLSTATE of a refusal, which undid the call alone.
-- server only
CREATE OR REPLACE FUNCTION collect_attempt(
    test_fingerprint TEXT, test_file_name BYTEA, test_question_count INTEGER,
    question_numbers INTEGER[], question_texts TEXT, question_marks TEXT, answer_texts TEXT,
    answer_marks TEXT,
    attempt_fingerprint TEXT, first BYTEA, last BYTEA, a_course BYTEA, a_period BYTEA,
    a_instructor BYTEA, a_test_file BYTEA, a_year INTEGER, a_month INTEGER, a_day INTEGER,
    a_correct_count INTEGER, a_question_count INTEGER,
    response_numbers INTEGER[], response_correct INTEGER[], given_texts TEXT, given_marks TEXT,
    decided BOOLEAN, replace_id BIGINT,
    OUT outcome TEXT, OUT attempt_id BIGINT)
LANGUAGE plpgsql SECURITY INVOKER SET search_path = public, pg_temp
AS $$
DECLARE
  found_test BIGINT;
BEGIN
  SELECT a.id INTO attempt_id FROM attempts a
    WHERE a.collector = current_user AND a.fingerprint = attempt_fingerprint;
  IF FOUND THEN
    outcome := 'known';
    RETURN;
  END IF;
  SELECT t.id INTO found_test FROM tests t
    WHERE t.collector = current_user AND t.fingerprint = test_fingerprint;
  IF found_test IS NOT NULL AND NOT decided THEN
    SELECT a.id INTO attempt_id FROM attempts a
      WHERE a.test_id = found_test AND a.collector = current_user AND a.first_name = first
        AND a.last_name = last AND a.course = a_course AND a.period = a_period
        AND a.year = a_year AND a.month = a_month AND a.day = a_day
      ORDER BY a.id DESC LIMIT 1;
    IF FOUND THEN
      outcome := 'ask';
      RETURN;
    END IF;
  END IF;
  IF found_test IS NULL THEN
    IF question_numbers IS NULL THEN
      outcome := 'questions';
      RETURN;
    END IF;
    -- Another Quizloom of the same teacher may be storing the same new test.
    INSERT INTO tests (collector, fingerprint, file_name, question_count)
      VALUES (current_user, test_fingerprint, test_file_name, test_question_count)
      ON CONFLICT (collector, fingerprint) DO NOTHING RETURNING id INTO found_test;
    IF found_test IS NULL THEN
      SELECT t.id INTO found_test FROM tests t
        WHERE t.collector = current_user AND t.fingerprint = test_fingerprint;
    ELSE
      INSERT INTO test_questions (test_id, collector, number, question_text, question_marks,
                                  answer_text, answer_marks)
        SELECT found_test, current_user, q.number, decode(substr(q.text, 2), 'hex'),
               decode(substr(q.marks, 2), 'hex'), decode(substr(q.answer, 2), 'hex'),
               decode(substr(q.answer_marks, 2), 'hex')
        FROM unnest(question_numbers, string_to_array(question_texts, ','),
                    string_to_array(question_marks, ','), string_to_array(answer_texts, ','),
                    string_to_array(answer_marks, ',')) AS q(number, text, marks, answer,
                                                             answer_marks);
    END IF;
  END IF;
  IF replace_id IS NOT NULL THEN
    DELETE FROM attempts a WHERE a.id = replace_id AND a.collector = current_user;
  END IF;
  attempt_id := NULL;
  INSERT INTO attempts (test_id, collector, fingerprint, first_name, last_name, course, period,
                        instructor, test_file, year, month, day, correct_count, question_count)
    VALUES (found_test, current_user, attempt_fingerprint, first, last, a_course, a_period,
            a_instructor, a_test_file, a_year, a_month, a_day, a_correct_count,
            a_question_count)
    ON CONFLICT (collector, fingerprint) DO NOTHING RETURNING id INTO attempt_id;
  IF attempt_id IS NULL THEN
    outcome := 'known';
    RETURN;
  END IF;
  INSERT INTO responses (attempt_id, position, number, correct, given_text, given_marks)
    SELECT attempt_id, r.position, r.number, r.correct, decode(substr(r.text, 2), 'hex'),
           decode(substr(r.marks, 2), 'hex')
    FROM unnest(response_numbers, response_correct, string_to_array(given_texts, ','),
                string_to_array(given_marks, ','))
         WITH ORDINALITY AS r(number, correct, text, marks, position);
  outcome := CASE WHEN replace_id IS NULL THEN 'added' ELSE 'replaced' END;
EXCEPTION WHEN OTHERS THEN
  outcome := 'error ' || SQLSTATE;
  attempt_id := NULL;
END;
$$;

-- server only
REVOKE ALL ON FUNCTION collect_attempt FROM PUBLIC;

-- server only
GRANT EXECUTE ON FUNCTION collect_attempt TO quizloom_teacher;
